#include "tools/vorenta-sim/ProductionLine.h"

#include <chrono>
#include <deque>

#include "tools/vorenta-sim/Simulator.h"

namespace vorenta::sim {

std::string ModuleImagePath(const std::string& path, unsigned module, unsigned modules) {
    if (modules <= 1 || path.empty()) {
        return path;
    }
    const std::size_t nameStart = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
    std::size_t dot = path.rfind('.');
    // A leading dot names a hidden file; it is no extension.
    if (dot == std::string::npos || dot <= nameStart) {
        dot = path.size();
    }
    return path.substr(0, dot) + "-" + std::to_string(module) + path.substr(dot);
}

SimOptions OptionsForModule(const SimOptions& options, unsigned module) {
    SimOptions own = options;
    own.imagePath = ModuleImagePath(options.imagePath, module, options.modules);
    if (options.faultModule && *options.faultModule != module) {
        own.faults = Faults{};
    }
    return own;
}

LineOutcome ServeModules(const SimOptions& options, SimLine& line, WireLog& log, std::ostream& out,
                         std::ostream& console) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    LineOutcome outcome;
    std::deque<Simulator::Incoming> carried;
    for (unsigned module = 1; module <= options.modules; ++module) {
        SimOptions own = OptionsForModule(options, module);
        if (options.timeoutSeconds) {
            // One time limit for the whole line.
            const double left = *options.timeoutSeconds -
                                std::chrono::duration<double>(Clock::now() - start).count();
            if (left <= 0) {
                outcome.lastEnding = Ending::TimedOut;
                break;
            }
            own.timeoutSeconds = left;
        }
        if (options.modules > 1) {
            log.Note(0, line.Speed(),
                     "module " + std::to_string(module) + " of " + std::to_string(options.modules));
        }
        Session session(own, log);
        Simulator simulator(own, line, session, log, console);
        // A base station meets the next module once the updater releases it; it
        // never learns whether the PC closed its port.
        if (module < options.modules) {
            simulator.EndAtRelease();
        }
        simulator.GiveInput(std::move(carried));
        outcome.lastEnding = simulator.Run();
        carried = simulator.TakeInput();
        ++outcome.served;
        if (session.Complete()) {
            ++outcome.complete;
        }
        if (options.modules > 1) {
            out << "vorenta-sim: module " << module << " of " << options.modules << '\n';
        }
        out << session.Summary(outcome.lastEnding) << std::flush;
        // Only a line the updater let go of can meet the next module.
        if (outcome.lastEnding != Ending::Released && outcome.lastEnding != Ending::LineClosed) {
            break;
        }
    }
    if (options.modules > 1) {
        out << "vorenta-sim: " << outcome.complete << " of " << options.modules
            << " modules updated completely\n"
            << std::flush;
    }
    return outcome;
}

}  // namespace vorenta::sim
