#pragma once

#include <ostream>
#include <string>

#include "tools/vorenta-sim/Options.h"
#include "tools/vorenta-sim/Session.h"
#include "tools/vorenta-sim/SimLine.h"
#include "tools/vorenta-sim/WireLog.h"

namespace vorenta::sim {

// The image file of module `module` (from 1) of `modules`: the name as given for a
// single module, else "-K" before the extension ("out/received.bin" -> "out/received-2.bin").
std::string ModuleImagePath(const std::string& path, unsigned module, unsigned modules);

// What module `module` runs with: its own image file, and the faults only when
// they apply to it.
SimOptions OptionsForModule(const SimOptions& options, unsigned module);

struct LineOutcome {
    unsigned served = 0;
    unsigned complete = 0;
    Ending lastEnding = Ending::Released;
};

// Serves the modules one after another on one line, as a production line's base
// station meets them: the next one starts once the updater has released the base
// station (or closed the line). Stops early when the line fails, is stopped or
// runs out of time.
// Each module's summary goes to `out`, violations to `console`.
LineOutcome ServeModules(const SimOptions& options, SimLine& line, WireLog& log, std::ostream& out,
                         std::ostream& console);

}  // namespace vorenta::sim
