// vorenta-flash: runs the update window's logic without a display.
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
#include "platform/NativePlatform.h"
#include "serial/PortListText.h"
#include "serial/WireLogDevice.h"
#include "ui/PrintableText.h"
#include "ui/ProductTexts.h"
#include "ui/UpdateDlgTexts.h"
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
                             nullptr,      LocalTimeNow,    nullptr};
    // Adapter details stay unset until the port table can describe the
    // adapter behind a device; the log then names the device path alone.
    logSetup.folder = logFolder.get();
    if (options.listLogs) {
        SessionLogStore store(*logFolder);
        std::fputs(SessionLogListing(store, kListedLogs).c_str(), stdout);
        return kExitUpdated;
    }

    NativeTickSource clock;
    NativePortTable installedPorts;
    std::unique_ptr<ExtraPortTable> namedDevice;
    IPortTable* ports = &installedPorts;
    std::optional<int> comNumber;
    if (!options.port.empty() && options.port[0] == '/') {
        namedDevice = std::make_unique<ExtraPortTable>(installedPorts, options.port);
        if (namedDevice->ComNumber() == -1) {
            std::fprintf(stderr, "%s: every COM number is taken; cannot use %s\n", kProgramName,
                         PrintableText(options.port).c_str());
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

    NativeFileSystem files;
    NativeSerialDevice device;
    ISerialDevice* line = &device;
    std::unique_ptr<IFile> logFile;
    std::unique_ptr<WireLogDevice> wireLog;
    if (!options.logFile.empty()) {
        // A regular file of this user only: never through a symbolic link,
        // never a FIFO or a device, never a file with a second name.
        logFile = files.Open(options.logFile, OpenMode::CreateTruncateReadWrite);
        if (!logFile) {
            std::fprintf(stderr,
                         "%s: cannot write the log file %s (it must be a regular file of "
                         "yours, not a symbolic link)\n",
                         kProgramName, PrintableText(options.logFile).c_str());
            return kExitUsage;
        }
        wireLog = std::make_unique<WireLogDevice>(device, clock, *logFile);
        line = wireLog.get();
    }

    NativeSettingsStore settings(texts::kCompanyName, kProgramName);
    const auto peers = MakeDesktopPeerWindows();
    ConsoleWindowHost host(stderr, StandardErrorIsTerminal(), options.quiet);
    if (wireLog) {
        // Why the port could not be opened belongs beside the failed OPEN in the wire log.
        host.onMessageBox = [&wireLog](const HeadlessWindowHost::Box& box) {
            if (box.text.rfind(texts::kPortOpenFailure, 0) == 0) {
                wireLog->Note(box.text);
            }
        };
    }
    SessionRecorder recorder(host, *line, clock, files, std::move(logSetup));
    const UpdateDlgPlatform platform{
        recorder.Window(), clock, recorder.Device(), *ports, settings, *peers, files};

    // The window reads the preferred port each time it fills the port buttons.
    const std::int8_t preferredPort = static_cast<std::int8_t>(comNumber.value_or(-1));
    CPLSM_UpdateDlg window(platform, preferredPort, kProgramName);
    window.programDir =
        options.dir.empty()
            ? ProgramDirFromCommandLine(CommandLineForExecutable(ExecutablePath()), kPathSeparator)
            : options.dir;
    if (!window.programDir.empty() && window.programDir.back() != kPathSeparator) {
        window.programDir += kPathSeparator;
    }
    window.tempDir = TemporaryFolder();

    // SIGTERM and SIGHUP stop at once what the second Ctrl-C stops.
    FlashSession session(
        window, host, clock,
        [&signals] {
            return signals.Interrupts() +
                   (signals.TerminationRequested() ? FlashSession::kStopNow : 0);
        },
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
    // Said even with --quiet, like a short --log: support must not trust a cut log.
    if (!recorder.LastLogPath().empty() && !recorder.LastLogComplete()) {
        std::fprintf(stderr, "%s: the session log %s could not be written completely\n",
                     kProgramName, PrintableText(recorder.LastLogPath()).c_str());
    }
    if (wireLog && !wireLog->Complete()) {
        std::fprintf(stderr, "%s: the log file %s could not be written completely\n", kProgramName,
                     PrintableText(options.logFile).c_str());
    }
    return status;
}
