// vorenta-flash: runs the update window's logic without a display.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleWindowHost.h"
#include "ExtraPortTable.h"
#include "FlashOptions.h"
#include "FlashSession.h"
#include "LogListing.h"
#include "app/CommandLine.h"
#include "platform/posix/DesktopPeerWindows.h"
#include "platform/posix/IniSettingsStore.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixLogFolder.h"
#include "platform/posix/PosixPortTable.h"
#include "platform/posix/PosixSerialDevice.h"
#include "platform/posix/PosixTickSource.h"
#include "platform/posix/ProcessInfo.h"
#include "platform/posix/StateFolder.h"
#include "platform/posix/SystemInfo.h"
#include "serial/WireLogDevice.h"
#include "ui/ProductTexts.h"
#include "update/SessionRecorder.h"

namespace {

constexpr const char* kProgramName = "vorenta-flash";
constexpr std::size_t kListedLogs = 20;

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

    PosixLogFolder logFolder(SessionLogFolderPath(texts::kCompanyName));
    if (options.listLogs) {
        SessionLogStore store(logFolder);
        std::fputs(SessionLogListing(store, kListedLogs).c_str(), stdout);
        return kExitUpdated;
    }

    PosixTickSource clock;
    PosixPortTable installedPorts;
    std::unique_ptr<ExtraPortTable> namedDevice;
    IPortTable* ports = &installedPorts;
    std::optional<int> comNumber;
    if (!options.port.empty() && options.port[0] == '/') {
        namedDevice = std::make_unique<ExtraPortTable>(installedPorts, options.port);
        if (namedDevice->ComNumber() == -1) {
            std::fprintf(stderr, "%s: every COM number is taken; cannot use %s\n", kProgramName,
                         options.port.c_str());
            return kExitPortUnavailable;
        }
        comNumber = namedDevice->ComNumber();
        ports = namedDevice.get();
    } else if (!options.port.empty()) {
        comNumber = ComNumberOf(options.port);
    }
    if (options.listPorts) {
        return ListPorts(*ports);
    }

    PosixSerialDevice device;
    ISerialDevice* line = &device;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> logFile(nullptr, &std::fclose);
    std::unique_ptr<WireLogDevice> wireLog;
    if (!options.logFile.empty()) {
        logFile.reset(std::fopen(options.logFile.c_str(), "w"));
        if (!logFile) {
            std::fprintf(stderr, "%s: cannot write the log file %s\n", kProgramName,
                         options.logFile.c_str());
            return kExitUsage;
        }
        wireLog = std::make_unique<WireLogDevice>(device, clock, logFile.get());
        line = wireLog.get();
    }

    IniSettingsStore settings(texts::kCompanyName, kProgramName);
    const auto peers = MakeDesktopPeerWindows();
    PosixFileSystem files;
    ConsoleWindowHost host(stderr, StandardErrorIsTerminal(), options.quiet);
    // Adapter details: nullptr until the port table can describe the adapter
    // behind a device; the log then names the device path alone.
    SessionRecorder recorder(
        host, *line, clock, files,
        {kProgramName, VORENTA_VERSION, PlatformDescription(), &logFolder, LocalTimeNow, nullptr});
    const UpdateDlgPlatform platform{
        recorder.Window(), clock, recorder.Device(), *ports, settings, *peers, files};

    // The window reads the preferred port each time it fills the port buttons.
    const std::int8_t preferredPort = static_cast<std::int8_t>(comNumber.value_or(-1));
    CPLSM_UpdateDlg window(platform, preferredPort, kProgramName);
    window.programDir = options.dir.empty() ? ProgramDirFromCommandLine(
                                                  CommandLineForExecutable(ExecutablePath()), '/')
                                            : options.dir;
    if (!window.programDir.empty() && window.programDir.back() != '/') {
        window.programDir += '/';
    }
    window.tempDir = TemporaryFolder();

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    FlashSession session(
        window, host, clock, [] { return interruptCount.load(); },
        [&host, &recorder](const std::string& text) {
            host.Say(text);
            recorder.Note(text);
        });
    FlashSession::Config config;
    config.comNumber = comNumber;
    config.waitSeconds = options.waitSeconds;
    config.handler = &recorder.Watch(window, *ports);
    const int status = session.Run(config);
    if (!recorder.LastLogPath().empty() && !options.quiet) {
        host.Say("Session log: " + recorder.LastLogPath());
    }
    return status;
}
