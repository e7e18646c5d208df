#include "update/SessionRecorder.h"

#include "common/PrintableText.h"

namespace vorenta {

namespace {

constexpr std::string_view kNotWrittenPrefix = "No session log is written: ";
constexpr std::string_view kWriteFailedPrefix = "The session log could not be written: ";
constexpr std::string_view kOperatorLine = "SHOW";
constexpr std::string_view kProgramLog = "NOTE";
constexpr std::string_view kProgramWords = "SAY";

}  // namespace

void SessionRecorder::Wire::Trace(std::string_view what, std::string_view detail) {
    if (owner_.log_) {
        owner_.log_->Line(what, detail);
    }
}

SessionRecorder::SessionRecorder(IWindowServices& operatorLog, ISerialDevice& device,
                                 ITickSource& clock, SessionLogSetup setup)
    : operatorLog_(operatorLog), clock_(clock), setup_(std::move(setup)), wire_(device, trace_) {
    if (setup_.folder != nullptr) {
        store_ = std::make_unique<SessionLogStore>(*setup_.folder);
    }
}

SessionRecorder::~SessionRecorder() {
    if (sessionOpen_) {
        if (log_) {
            log_->Line(kProgramWords, "The program ended during the session.");
        }
        EndSession(sawFailure_ ? SessionResult::Failure : SessionResult::Cancelled);
    }
}

void SessionRecorder::Note(std::string_view line) {
    if (log_) {
        log_->Line(kProgramWords, line);
    }
}

void SessionRecorder::SayOnce(const std::string& reason) {
    if (!said_) {
        said_ = true;
        operatorLog_.Log(reason);
    }
}

void SessionRecorder::OnSessionStarted(const SessionStart& start) {
    sessionOpen_ = true;
    sawFailure_ = false;
    headerFirmware_.reset();
    log_.reset();
    if (!store_) {
        return;
    }
    store_->MakeRoomForOne();
    SessionLogHeader header = Header(start);
    header.logNumber = store_->NextLogNumber();
    std::string error;
    log_ = store_->Create(header.started, setup_.program, start.comNumber, clock_, error);
    if (!log_) {
        const std::string text = std::string(kNotWrittenPrefix) + error;
        if (!setup_.sayNoLog) {
            SayOnce(text);
        } else if (!said_) {
            said_ = true;
            setup_.sayNoLog(text);
        }
        return;
    }
    lastLogPath_ = log_->Path();
    lastLogComplete_ = true;
    log_->onWriteFailure = [this](const std::string& path) {
        lastLogComplete_ = false;
        SayOnce(std::string(kWriteFailedPrefix) + path);
    };
    log_->WriteHeader(header);
    headerFirmware_ = start.firmware;
}

void SessionRecorder::OnTransferBegun(const SentFirmware& sent) {
    // The header names the file as the session began; a file replaced since
    // is named again here, as it went to the module.
    if (!log_ || (headerFirmware_ && headerFirmware_->size == sent.firmware.size &&
                  headerFirmware_->sha256 == sent.firmware.sha256)) {
        return;
    }
    log_->Line(kProgramWords, "Firmware sent: " + std::to_string(sent.firmware.size) +
                                  " bytes, SHA-256 " + sent.firmware.sha256 + ", version " +
                                  PrintableLine(sent.firmwareVersion));
}

SessionLogHeader SessionRecorder::Header(const SessionStart& start) const {
    SessionLogHeader header;
    header.program = setup_.program;
    header.version = setup_.version;
    header.platform = setup_.platform;
    if (setup_.localTimeNow) {
        header.started = setup_.localTimeNow();
    }
    header.firmwarePath = start.firmwarePath;
    header.firmwareVersion = start.firmwareVersion;
    header.comNumber = start.comNumber;
    header.devicePath = start.devicePath;
    if (setup_.describeAdapter && !start.devicePath.empty()) {
        header.adapter = setup_.describeAdapter(start.devicePath);
    }
    if (start.firmware) {
        header.firmwareSize = start.firmware->size;
        header.firmwareModified = start.firmware->modified;
        header.firmwareSha256 = start.firmware->sha256;
    }
    return header;
}

void SessionRecorder::OnOutcome(const SessionOutcome& outcome) {
    if (!sessionOpen_) {
        return;
    }
    sawFailure_ = sawFailure_ || outcome.result == SessionResult::Failure;
    if (log_ && !outcome.text.empty()) {
        log_->MessageBox(outcome.text, outcome.caption);
    }
}

void SessionRecorder::OnSessionEnded(SessionResult result) {
    if (sessionOpen_) {
        EndSession(result);
    }
}

void SessionRecorder::OnLineShown(std::string_view text) {
    if (log_) {
        log_->Line(kOperatorLine, text);
    }
}

void SessionRecorder::OnNote(std::string_view line) {
    if (log_) {
        log_->Line(kProgramLog, line);
    }
}

void SessionRecorder::EndSession(SessionResult result) {
    sessionOpen_ = false;
    if (log_) {
        log_->Finish(result);
        log_.reset();
    }
}

}  // namespace vorenta
