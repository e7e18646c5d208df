// vorenta-sim: a base station with a Mobile Module in firmware-update mode, on a
// pseudo-terminal or a serial device, for demos, field support and tests.
#include <fstream>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "tools/vorenta-sim/Options.h"
#include "tools/vorenta-sim/ProductionLine.h"
#include "tools/vorenta-sim/PtyLine.h"
#include "tools/vorenta-sim/WireLog.h"

namespace {

constexpr int kExitComplete = 0;
constexpr int kExitIncomplete = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLine = 3;

int Run(const vorenta::sim::SimOptions& options) {
    using namespace vorenta::sim;
    std::ofstream logFile;
    if (!options.logPath.empty()) {
        logFile.open(options.logPath, std::ios::trunc);
        if (!logFile) {
            std::cerr << "vorenta-sim: cannot write the wire log " << options.logPath << '\n';
            return kExitLine;
        }
    }
    std::string error;
    std::unique_ptr<SimLine> line = options.devicePath.empty()
                                        ? CreatePseudoTerminal(error)
                                        : OpenSerialDevice(options.devicePath, error);
    if (!line) {
        std::cerr << "vorenta-sim: " << error << '\n';
        return kExitLine;
    }
    // The first line is the device to open; scripts read it before anything else.
    std::cout << line->Path() << std::endl;

    WireLog log(logFile.is_open() ? &logFile : nullptr);
    const LineOutcome outcome = ServeModules(options, *line, log, std::cout, std::cerr);
    line.reset();

    if (outcome.complete == options.modules) {
        return kExitComplete;
    }
    return outcome.lastEnding == Ending::LineError ? kExitLine : kExitIncomplete;
}

}  // namespace

int main(int argc, char** argv) {
    using vorenta::sim::ParsedCommandLine;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParsedCommandLine parsed = vorenta::sim::ParseCommandLine(args);
    switch (parsed.action) {
        case ParsedCommandLine::Action::Help:
            std::cout << vorenta::sim::HelpText();
            return kExitComplete;
        case ParsedCommandLine::Action::Version:
            std::cout << "vorenta-sim " << VORENTA_VERSION << '\n';
            return kExitComplete;
        case ParsedCommandLine::Action::Error:
            std::cerr << "vorenta-sim: " << parsed.error << "\nTry 'vorenta-sim --help'.\n";
            return kExitUsage;
        case ParsedCommandLine::Action::Run:
            break;
    }
    return Run(parsed.options);
}
