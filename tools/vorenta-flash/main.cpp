// vorenta-flash: runs the update window's logic without a display.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FlashOptions.h"
#include "FlashSession.h"
#include "LogListing.h"
#include "ProductionRun.h"
#include "platform/NativePlatform.h"
#include "serial/PortListText.h"
#include "ui/PrintableText.h"
// Session logs have a folder on POSIX systems only so far; the Windows build
// runs without them (a null folder) and says so for --list-logs.
#ifndef _WIN32
#include "platform/posix/PosixLogFolder.h"
#include "platform/posix/StateFolder.h"
#include "platform/posix/SystemInfo.h"
#endif
#include "ui/ProductTexts.h"
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

    std::unique_ptr<ILogFolder> logFolder;
    SessionLogSetup logSetup{kProgramName, VORENTA_VERSION, "Windows", nullptr, nullptr, nullptr};
#ifndef _WIN32
    logFolder = std::make_unique<PosixLogFolder>(SessionLogFolderPath(texts::kCompanyName));
    logSetup.platform = PlatformDescription();
    logSetup.localTimeNow = LocalTimeNow;
#endif
    // Each session adds what the port table knows of its adapter.
    logSetup.folder = logFolder.get();
    if (options.listLogs) {
        if (!logFolder) {
            std::fprintf(stderr, "%s: no session logs are kept on this system\n", kProgramName);
            return kExitUsage;
        }
        SessionLogStore store(*logFolder);
        std::fputs(SessionLogListing(store, kListedLogs).c_str(), stdout);
        return kExitUpdated;
    }

    NativePortTable installedPorts;
    StationPorts stations(installedPorts, options.ports);
    if (!stations.Error().empty()) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, PrintableText(stations.Error()).c_str());
        return kExitPortUnavailable;
    }
    if (options.listPorts) {
        return ListPorts(stations.Table());
    }

    // SIGTERM and SIGHUP stop at once what the second Ctrl-C stops.
    return RunStations(options, stations, kProgramName, logSetup, [&signals] {
        return signals.Interrupts() + (signals.TerminationRequested() ? FlashSession::kStopNow : 0);
    });
}
