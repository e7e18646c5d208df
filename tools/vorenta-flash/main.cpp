// vorenta-flash: runs the update window's logic without a display.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FlashOptions.h"
#include "FlashSession.h"
#include "LogListing.h"
#include "ProductionRun.h"
#include "common/PrintableText.h"
#include "common/ProductTexts.h"
#include "platform/NativePlatform.h"
#include "serial/PortListText.h"
#include "update/SessionRecorder.h"

namespace {

constexpr const char* kProgramName = "vorenta-flash";
constexpr std::size_t kListedLogs = 20;

int ListPorts(vorenta::IPortTable& table) {
    std::vector<vorenta::InstalledPort> ports;
    if (!table.ListPorts(ports)) {
        std::fprintf(stderr, "%s: the list of serial ports cannot be read\n", kProgramName);
        return vorenta::kExitPortUnavailable;
    }
    if (ports.empty()) {
        std::printf("no serial ports found\n");
    }
    std::fputs(vorenta::PortListText(table, ports).c_str(), stdout);
    return vorenta::kExitUpdated;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vorenta;
    // Before anything is opened: a closed standard stream must not be taken
    // by the port or a file, and a closed pipe must not end the process.
    OpenMissingStandardStreams();
    const StopSignals signals;

    const ParsedOptions parsed = ParseFlashOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgramName,
                     PrintableText(parsed.error).c_str(), kProgramName);
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

    const auto logFolder =
        std::make_unique<NativeLogFolder>(SessionLogFolderPath(texts::kCompanyName));
    SessionLogSetup logSetup{kProgramName, VORENTA_VERSION, PlatformDescription(),
                             nullptr,      LocalTimeNow,    nullptr,
                             nullptr};
    // Each session adds what the port table knows of its adapter.
    logSetup.folder = logFolder.get();
    if (options.listLogs) {
        SessionLogStore store(*logFolder);
        if (const std::string problem = store.ListProblem(); !problem.empty()) {
            std::fprintf(stderr, "%s: the session logs cannot be listed: %s\n", kProgramName,
                         PrintableText(problem).c_str());
            return kExitFailureReported;
        }
        std::fputs(SessionLogListing(store, kListedLogs).c_str(), stdout);
        return kExitUpdated;
    }

    NativePortTable installedPorts;
    StationPorts stations(installedPorts, options.ports);
    if (!stations.Error().empty()) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, PrintableText(stations.Error()).c_str());
        return stations.ErrorStatus();
    }
    if (options.listPorts) {
        return ListPorts(stations.Table());
    }

    // SIGTERM and SIGHUP stop at once what the second Ctrl-C stops.
    return RunStations(options, stations, kProgramName, logSetup, [&signals] {
        return signals.Interrupts() + (signals.TerminationRequested() ? FlashSession::kStopNow : 0);
    });
}
