#include "ModuleSession.h"

#include <memory>

#include "ConsoleWindowHost.h"
#include "FlashSession.h"
#include "firmware/FirmwareFingerprint.h"
#include "platform/NativePlatform.h"
#include "serial/PortListText.h"
#include "serial/WireLogDevice.h"
#include "ui/UpdateWindowAssembly.h"

namespace vorenta {

namespace {

constexpr std::string_view kSessionLogSaid = "Session log: ";

void KeepFirmware(ModuleRecord& record, const std::optional<FirmwareFingerprint>& firmware) {
    if (firmware) {
        record.firmwareSize = firmware->size;
        record.firmwareSha256 = firmware->sha256;
    }
}

}  // namespace

ModuleRecordEvents::ModuleRecordEvents(ModuleRecord& record, WireLogDevice* wireLog)
    : record_(record), wireLog_(wireLog) {}

void ModuleRecordEvents::OnSessionStarted(const SessionStart& start) {
    started_ = true;
    // Taken as the update starts; a transfer that sends another file says so.
    KeepFirmware(record_, start.firmware);
}

void ModuleRecordEvents::OnTransferBegun(const SentFirmware& sent) {
    KeepFirmware(record_, sent.firmware);
}

void ModuleRecordEvents::OnOutcome(const SessionOutcome& outcome) {
    // The last thing the operator was told is how the session ended.
    if (!outcome.text.empty()) {
        record_.outcome = outcome.Headline();
    }
    // Why the port could not be opened belongs beside the failed OPEN in the wire log.
    if (wireLog_ != nullptr && outcome.ending == SessionEnding::PortUnavailable) {
        wireLog_->Note(outcome.text);
    }
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
    ConsoleWindowHost host(*setup.console, setup.quiet);
    // The window reads the preferred port each time it fills the port buttons.
    const std::int8_t preferredPort = static_cast<std::int8_t>(setup.comNumber.value_or(-1));
    // Every session leaves its own log, whatever else runs beside it. Why it
    // cannot is said even when quiet: a line must not lose its logs unseen.
    SessionLogSetup logSetup = setup.sessionLog;
    logSetup.sayNoLog = [&host, said = setup.noLogSaid](const std::string& text) {
        if (said == nullptr || !said->exchange(true)) {
            host.Say(text);
        }
    };
    UpdateWindowAssembly assembly({host, services.clock, *line, services.ports, services.settings,
                                   services.peers, services.files},
                                  logSetup, preferredPort, setup.programName);
    CPLSM_UpdateDlg& window = assembly.Window();
    window.ShowWaitingPrompt(false);  // the console says its own
    SessionRecorder& recorder = assembly.Recorder();
    window.firmware.programDir = setup.programDir;
    window.pageImage.tempDir = setup.tempDir;
    ModuleRecordEvents events(record, wireLog.get());
    window.AddListener(events);
    window.AddListener(host);

    const auto say = [&host, &record, &recorder](const std::string& text) {
        record.outcome = text;
        host.Say(text);
        recorder.Note(text);
    };
    FlashSession session(window, host, services.clock, setup.interrupts, say);
    FlashSession::Config config;
    config.comNumber = setup.comNumber;
    config.waitSeconds = setup.waitSeconds;
    record.exitStatus = session.Run(config);
    if (!events.Started() && !window.firmware.firmwareFileName.empty()) {
        KeepFirmware(record, FingerprintFirmware(services.files, window.firmware.FirmwarePath()));
    }
    if (!recorder.LastLogPath().empty() && !setup.quiet) {
        host.Say(std::string(kSessionLogSaid) + recorder.LastLogPath());
    }
    // Said even when quiet: support must not trust a cut log.
    if (!recorder.LastLogPath().empty() && !recorder.LastLogComplete()) {
        host.Say("The session log " + recorder.LastLogPath() + " could not be written completely.");
    }

    const int comNumber = setup.comNumber.value_or(window.ports.GetSelectedPortNumber());
    if (comNumber > 0) {
        record.port = "COM" + std::to_string(comNumber);
        record.device = services.ports.DevicePathFor(comNumber);
    }
    record.firmwareFile = window.firmware.firmwareFileName;
    record.version = window.firmware.firmwareVersion;
    wireLogComplete = !wireLog || wireLog->Complete();
    record.end = std::chrono::system_clock::now();
    record.durationMs =
        static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now() - started)
                                       .count());
    return record;
}

}  // namespace vorenta
