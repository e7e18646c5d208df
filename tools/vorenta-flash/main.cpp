// vorenta-flash: runs the update window's logic without a display.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "FlashOptions.h"
#include "ProductionRun.h"
#include "platform/posix/PosixPortTable.h"

namespace {

constexpr const char* kProgramName = "vorenta-flash";

// Ctrl-C only counts here; the session decides what a count means.
std::atomic<int> interruptCount{0};

extern "C" void OnInterrupt(int) {
    interruptCount.fetch_add(1);
}

int ListPorts(vorenta::IPortTable& table) {
    std::vector<vorenta::InstalledPort> ports;
    if (!table.ListPorts(ports)) {
        std::fprintf(stderr, "%s: the list of serial ports cannot be read\n", kProgramName);
        return vorenta::kExitPortUnavailable;
    }
    if (ports.empty()) {
        std::printf("no serial ports found\n");
    }
    for (const auto& port : ports) {
        std::printf("%-6s %s\n", port.name.c_str(), port.devicePath.c_str());
    }
    return vorenta::kExitUpdated;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vorenta;
    const ParsedOptions parsed = ParseFlashOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgramName, parsed.error.c_str(),
                     kProgramName);
        return kExitUsage;
    }
    const FlashOptions& options = parsed.options;
    if (options.help) {
        std::fputs(FlashUsage().c_str(), stdout);
        return kExitUpdated;
    }
    if (options.version) {
        std::printf("%s %s\n", kProgramName, VORENTA_VERSION);
        return kExitUpdated;
    }

    PosixPortTable installedPorts;
    StationPorts stations(installedPorts, options.ports);
    if (!stations.Error().empty()) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, stations.Error().c_str());
        return kExitPortUnavailable;
    }
    if (options.listPorts) {
        return ListPorts(stations.Table());
    }

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    return RunStations(options, stations, kProgramName, [] { return interruptCount.load(); });
}
