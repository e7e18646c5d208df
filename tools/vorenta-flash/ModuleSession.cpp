#include "ModuleSession.h"

#include <memory>
#include <vector>

#include "ConsoleWindowHost.h"
#include "FlashSession.h"
#include "common/PrintableText.h"
#include "firmware/Sha256.h"
#include "platform/NativePlatform.h"
#include "serial/WireLogDevice.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTexts.h"

namespace vorenta {

namespace {

constexpr std::string_view kParagraphBreak = "\n\n";
constexpr std::string_view kBootLoaderLineSeparator = "=";
constexpr std::size_t kHashChunk = 64 * 1024;
constexpr std::string_view kSessionLogSaid = "Session log: ";

std::string TrimmedEnd(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// The adapter's description, one item per line, as one line of the log's header.
std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : TrimmedEnd(text)) {
        if (c == '\n') {
            line += "; ";
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace

std::string Headline(std::string_view message) {
    return TrimmedEnd(message.substr(0, message.find(kParagraphBreak)));
}

std::string BootLoaderFromLine(std::string_view line) {
    const auto separator = line.find(kBootLoaderLineSeparator);
    if (separator == std::string_view::npos) {
        return {};
    }
    line.remove_prefix(separator + kBootLoaderLineSeparator.size());
    while (!line.empty() && line.front() == ' ') {
        line.remove_prefix(1);
    }
    return std::string(line);
}

bool HashFile(IFileSystem& files, const std::string& path, std::uint64_t& size,
              std::string& sha256) {
    const auto file = files.Open(path, OpenMode::ReadExisting);
    if (!file || !file->Seek(0)) {
        return false;
    }
    Sha256 sha;
    std::vector<std::uint8_t> chunk(kHashChunk);
    size = 0;
    for (;;) {
        const long n = file->Read(chunk.data(), chunk.size());
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        sha.Update(chunk.data(), static_cast<std::size_t>(n));
        size += static_cast<std::uint64_t>(n);
    }
    sha256 = Sha256::Hex(sha.Finish());
    return true;
}

ModuleRecord RunModuleSession(const StationServices& services, const ModuleSessionSetup& setup,
                              bool& wireLogComplete) {
    ModuleRecord record;
    record.module = setup.module;
    record.start = std::chrono::system_clock::now();
    const auto started = std::chrono::steady_clock::now();

    NativeSerialDevice device;
    std::unique_ptr<WireLogDevice> wireLog;
    ISerialDevice* line = &device;
    if (setup.wireLog != nullptr) {
        wireLog = std::make_unique<WireLogDevice>(device, services.clock, *setup.wireLog);
        line = wireLog.get();
    }
    ConsoleWindowHost host = setup.output ? ConsoleWindowHost(setup.output, false, setup.quiet)
                                          : ConsoleWindowHost(stderr, setup.terminal, setup.quiet);
    // Every session leaves its own log, whatever else runs beside it.
    SessionLogSetup logSetup = setup.sessionLog;
    logSetup.describeAdapter = [&ports = services.ports](const std::string& devicePath) {
        return OneLine(PrintableText(ports.DescribeDevice(devicePath)));
    };
    SessionRecorder recorder(host, *line, services.clock, services.files, std::move(logSetup));
    const UpdateDlgPlatform platform{recorder.Window(), services.clock,    recorder.Device(),
                                     services.ports,    services.settings, services.peers,
                                     services.files};
    // The window reads the preferred port each time it fills the port buttons.
    const std::int8_t preferredPort = static_cast<std::int8_t>(setup.comNumber.value_or(-1));
    CPLSM_UpdateDlg window(platform, preferredPort, setup.programName);
    window.programDir = setup.programDir;
    window.tempDir = setup.tempDir;
    window.pageRepeated = [&record](std::uint64_t page) {
        ++record.resends[static_cast<unsigned>(page + 1)];
    };

    // The last thing the operator was told is how the session ended.
    host.onMessageBox = [&record, &wireLog](const HeadlessWindowHost::Box& box) {
        record.outcome = Headline(box.text);
        // Why the port could not be opened belongs beside the failed OPEN in the wire log.
        if (wireLog && box.text.rfind(texts::kPortOpenFailure, 0) == 0) {
            wireLog->Note(box.text);
        }
    };
    const auto say = [&host, &record, &recorder](const std::string& text) {
        record.outcome = text;
        host.Say(text);
        recorder.Note(text);
    };
    bool hashed = false;
    const auto hashFirmware = [&] {
        if (window.firmwareFileName.empty()) {
            return;
        }
        std::uint64_t size = 0;
        if (HashFile(services.files, window.programDir + window.firmwareFileName, size,
                     record.firmwareSha256)) {
            record.firmwareSize = size;
        }
        hashed = true;
    };

    FlashSession session(window, host, services.clock, setup.interrupts, say);
    FlashSession::Config config;
    config.comNumber = setup.comNumber;
    config.waitSeconds = setup.waitSeconds;
    config.handler = &recorder.Watch(window, services.ports);
    // Taken as the update starts, so the record names the file that was sent.
    session.beforeBegin = hashFirmware;
    record.exitStatus = session.Run(config);
    if (!hashed) {
        hashFirmware();
    }
    if (!recorder.LastLogPath().empty() && !setup.quiet) {
        host.Say(std::string(kSessionLogSaid) + recorder.LastLogPath());
    }
    // Said even when quiet: support must not trust a cut log.
    if (!recorder.LastLogPath().empty() && !recorder.LastLogComplete()) {
        host.Say("The session log " + recorder.LastLogPath() + " could not be written completely.");
    }

    const int comNumber = setup.comNumber.value_or(window.GetSelectedPortNumber());
    if (comNumber > 0) {
        record.port = "COM" + std::to_string(comNumber);
        record.device = services.ports.DevicePathFor(comNumber);
    }
    record.firmwareFile = window.firmwareFileName;
    record.version = window.firmwareVersion;
    record.bootLoader = BootLoaderFromLine(host.Text(ids::kBootLoaderLine));
    unsigned page = 0;
    unsigned pageCount = 0;
    if (ParseProgressText(host.Text(ids::kProgressLine), page, pageCount)) {
        record.lastPage = page;
        record.pages = pageCount;
    }
    wireLogComplete = !wireLog || wireLog->Complete();
    record.end = std::chrono::system_clock::now();
    record.durationMs =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now() - started)
                                       .count());
    return record;
}

}  // namespace vorenta
