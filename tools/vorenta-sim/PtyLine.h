#pragma once

#include <memory>
#include <string>

#include "tools/vorenta-sim/SimLine.h"

namespace vorenta::sim {

// The line on POSIX: a pseudo-terminal the simulator creates (its master side) or a
// serial device given by path, in raw mode. SIGINT, SIGTERM and SIGHUP are turned
// into a stop request that Wait reports, for as long as the line exists.
// Returns null and fills `error` when the line cannot be set up.
std::unique_ptr<SimLine> CreatePseudoTerminal(std::string& error);
std::unique_ptr<SimLine> OpenSerialDevice(const std::string& path, std::string& error);

}  // namespace vorenta::sim
