#include "update/SessionRecorder.h"

#include <array>
#include <vector>

#include "common/ProductTexts.h"
#include "firmware/Sha256.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {

namespace {

constexpr std::string_view kNotWrittenPrefix = "No session log is written: ";
constexpr std::string_view kWriteFailedPrefix = "The session log could not be written: ";
constexpr std::string_view kOperatorLine = "SHOW";
constexpr std::string_view kProgramLog = "NOTE";
constexpr std::string_view kProgramWords = "SAY";
constexpr std::size_t kHashChunk = 64 * 1024;

// The lines of the window that tell the operator how the session goes.
constexpr std::array<int, 6> kOperatorLineIds = {ids::kBootLoaderLine,      ids::kProgressLine,
                                                 ids::kStatusLine,          ids::kStepLine,
                                                 ids::kFirmwareVersionLine, ids::kFirmwareFileLine};

}  // namespace

// The host's window services, with what the operator is shown copied into
// the session's log.
class SessionRecorder::OperatorLines : public IWindowServices {
  public:
    OperatorLines(SessionRecorder& owner, IWindowServices& inner) : owner_(owner), inner_(inner) {}

    void SetWindowTitle(std::string_view title) override { inner_.SetWindowTitle(title); }
    void SetDlgItemText(int id, std::string_view text) override {
        owner_.ShowLine(id, text);
        inner_.SetDlgItemText(id, text);
    }
    std::string GetDlgItemText(int id) const override { return inner_.GetDlgItemText(id); }
    void EnableDlgItem(int id, bool enable) override { inner_.EnableDlgItem(id, enable); }
    bool IsDlgItemEnabled(int id) const override { return inner_.IsDlgItemEnabled(id); }
    void ShowDlgItem(int id, bool show) override { inner_.ShowDlgItem(id, show); }
    void SetDlgItemTooltip(int id, std::string_view text) override {
        inner_.SetDlgItemTooltip(id, text);
    }
    void CheckRadioButton(int firstId, int lastId, int checkId) override {
        inner_.CheckRadioButton(firstId, lastId, checkId);
    }
    int GetCheckedRadioButton(int firstId, int lastId) const override {
        return inner_.GetCheckedRadioButton(firstId, lastId);
    }
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override {
        owner_.ShowMessageBox(text, caption);
        inner_.MessageBox(text, caption, icon);
    }
    void PostMessage(unsigned message) override { inner_.PostMessage(message); }
    void PumpOneMessage() override { inner_.PumpOneMessage(); }
    void RepaintNow() override { inner_.RepaintNow(); }
    void RefreshColours() override { inner_.RefreshColours(); }
    void BeginWaitCursor() override { inner_.BeginWaitCursor(); }
    void EndWaitCursor() override { inner_.EndWaitCursor(); }
    unsigned SetTimer(unsigned timerId, unsigned periodMs) override {
        return inner_.SetTimer(timerId, periodMs);
    }
    void KillTimer(unsigned timerId) override { inner_.KillTimer(timerId); }
    bool HasSystemMenu() const override { return inner_.HasSystemMenu(); }
    void AppendSystemMenuSeparator() override { inner_.AppendSystemMenuSeparator(); }
    void AppendSystemMenuItem(unsigned commandId, std::string_view text) override {
        inner_.AppendSystemMenuItem(commandId, text);
    }
    void EnableSystemMenuItem(unsigned commandId, bool enable) override {
        inner_.EnableSystemMenuItem(commandId, enable);
    }
    WindowRect GetWindowRect() const override { return inner_.GetWindowRect(); }
    WindowRect GetScreenRect() const override { return inner_.GetScreenRect(); }
    void MoveWindow(int left, int top) override { inner_.MoveWindow(left, top); }
    void ShowAboutDialog() override { inner_.ShowAboutDialog(); }
    void EndDialog(int result) override { inner_.EndDialog(result); }
    void Log(std::string_view line) override {
        if (owner_.log_) {
            owner_.log_->Line(kProgramLog, line);
        }
        inner_.Log(line);
    }

  private:
    SessionRecorder& owner_;
    IWindowServices& inner_;
};

// The window's events on their way from the host: "Begin Update" opens a
// session; once the outermost event is handled and the window is idle again,
// the session is over. Events dispatched during the transfer are nested.
class SessionRecorder::Boundaries : public IWindowHandler {
  public:
    Boundaries(SessionRecorder& owner, CPLSM_UpdateDlg& dialog) : owner_(owner), dialog_(dialog) {}

    void OnCommand(int controlId) override {
        if (depth_ == 0 && controlId == ids::kBeginUpdate && dialog_.updateActive == 0 &&
            !owner_.sessionOpen_) {
            owner_.BeginSession();
        }
        Nested([&] { dialog_.OnCommand(controlId); });
    }
    void OnSysCommand(unsigned commandId) override {
        Nested([&] { dialog_.OnSysCommand(commandId); });
    }
    void OnTimer(unsigned timerId) override {
        Nested([&] { dialog_.OnTimer(timerId); });
    }
    void OnPostedMessage(unsigned message) override {
        Nested([&] { dialog_.OnPostedMessage(message); });
    }

  private:
    template <typename Handle>
    void Nested(Handle handle) {
        ++depth_;
        handle();
        if (--depth_ == 0) {
            owner_.EndSessionIfOver();
        }
    }

    SessionRecorder& owner_;
    CPLSM_UpdateDlg& dialog_;
    int depth_ = 0;
};

void SessionRecorder::Wire::Trace(std::string_view what, std::string_view detail) {
    if (owner_.log_) {
        owner_.log_->Line(what, detail);
    }
}

SessionRecorder::SessionRecorder(IWindowServices& window, ISerialDevice& device, ITickSource& clock,
                                 IFileSystem& files, SessionLogSetup setup)
    : hostWindow_(window),
      clock_(clock),
      files_(files),
      setup_(std::move(setup)),
      wire_(device, trace_),
      window_(std::make_unique<OperatorLines>(*this, window)) {
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

IWindowServices& SessionRecorder::Window() {
    return *window_;
}

IWindowHandler& SessionRecorder::Watch(CPLSM_UpdateDlg& dialog, IPortTable& ports) {
    dialog_ = &dialog;
    ports_ = &ports;
    boundaries_ = std::make_unique<Boundaries>(*this, dialog);
    return *boundaries_;
}

void SessionRecorder::Note(std::string_view line) {
    if (log_) {
        log_->Line(kProgramWords, line);
    }
}

void SessionRecorder::SayOnce(const std::string& reason) {
    if (!said_) {
        said_ = true;
        hostWindow_.Log(reason);
    }
}

void SessionRecorder::ShowLine(int id, std::string_view text) {
    if (!log_ || text.empty()) {
        return;
    }
    for (const int shown : kOperatorLineIds) {
        if (shown == id) {
            log_->Line(kOperatorLine, text);
            return;
        }
    }
}

void SessionRecorder::ShowMessageBox(std::string_view text, std::string_view caption) {
    if (!sessionOpen_) {
        return;
    }
    if (caption == texts::kUpdateCompleteCaption) {
        sawSuccess_ = true;
    } else {
        sawFailure_ = true;
    }
    if (log_) {
        log_->MessageBox(text, caption);
    }
}

void SessionRecorder::BeginSession() {
    if (dialog_ == nullptr || ports_ == nullptr) {
        return;
    }
    const int checked =
        hostWindow_.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton);
    if (checked < ids::kFirstPortButton || checked > ids::kLastPortButton) {
        return;  // nothing starts without a port
    }
    sessionOpen_ = true;
    sawSuccess_ = false;
    sawFailure_ = false;
    if (!store_) {
        return;
    }
    const int comNumber =
        dialog_->portNumbers[static_cast<std::size_t>(checked - ids::kFirstPortButton)];
    const std::string devicePath = ports_->DevicePathFor(comNumber);

    store_->MakeRoomForOne();
    SessionLogHeader header = Header(comNumber, devicePath);
    std::string error;
    log_ = store_->Create(header.started, setup_.program, comNumber, clock_, error);
    if (!log_) {
        SayOnce(std::string(kNotWrittenPrefix) + error);
        return;
    }
    lastLogPath_ = log_->Path();
    lastLogComplete_ = true;
    log_->onWriteFailure = [this](const std::string& path) {
        lastLogComplete_ = false;
        SayOnce(std::string(kWriteFailedPrefix) + path);
    };
    log_->WriteHeader(header);
}

SessionLogHeader SessionRecorder::Header(int comNumber, const std::string& devicePath) const {
    SessionLogHeader header;
    header.program = setup_.program;
    header.version = setup_.version;
    header.platform = setup_.platform;
    if (setup_.localTimeNow) {
        header.started = setup_.localTimeNow();
    }
    header.firmwarePath = dialog_->programDir + dialog_->firmwareFileName;
    header.firmwareVersion = dialog_->firmwareVersion;
    header.comNumber = comNumber;
    header.devicePath = devicePath;
    if (setup_.describeAdapter && !devicePath.empty()) {
        header.adapter = setup_.describeAdapter(devicePath);
    }
    if (dialog_->firmwareFileName.empty()) {
        return header;
    }
    const auto file = files_.Open(header.firmwarePath, OpenMode::ReadExisting);
    if (!file) {
        return header;
    }
    Sha256 hash;
    std::vector<std::uint8_t> chunk(kHashChunk);
    std::uint64_t size = 0;
    for (;;) {
        const long n = file->Read(chunk.data(), chunk.size());
        if (n < 0) {
            return header;  // unreadable: no size, no hash
        }
        if (n == 0) {
            break;
        }
        hash.Update(chunk.data(), static_cast<std::size_t>(n));
        size += static_cast<std::uint64_t>(n);
    }
    header.firmwareSize = size;
    header.firmwareModified = file->ModificationTime();
    header.firmwareSha256 = Sha256::Hex(hash.Finish());
    return header;
}

void SessionRecorder::EndSessionIfOver() {
    if (sessionOpen_ && dialog_ != nullptr && dialog_->updateActive == 0) {
        EndSession(sawSuccess_ && !sawFailure_ ? SessionResult::Success
                   : sawFailure_               ? SessionResult::Failure
                                               : SessionResult::Cancelled);
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
