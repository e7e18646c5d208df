#include "ui/UpdateDlgControls.h"

#include "firmware/FirmwareTexts.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTexts.h"
#include "update/TransferTexts.h"

namespace vorenta {

namespace {

static_assert(ids::kPortButtonCount == PortSelection::kPortButtons);

int PortButton(std::size_t slot) {
    return ids::kFirstPortButton + static_cast<int>(slot);
}

int LineId(SessionLine line) {
    switch (line) {
        case SessionLine::BootLoader:
            return ids::kBootLoaderLine;
        case SessionLine::Progress:
            return ids::kProgressLine;
        case SessionLine::Status:
            return ids::kStatusLine;
        case SessionLine::Step:
            return ids::kStepLine;
    }
    return ids::kStepLine;
}

// The full window is drawn again before every fourth page only.
constexpr std::uint64_t kPagesPerRepaint = 4;

}  // namespace

void CPLSM_UpdateDlg::Controls::ShowFirmwareVersion(std::string_view line) {
    Window().SetDlgItemText(ids::kFirmwareVersionLine, line);
}

void CPLSM_UpdateDlg::Controls::ShowFirmwareFile(std::string_view line) {
    Window().SetDlgItemText(ids::kFirmwareFileLine, line);
}

void CPLSM_UpdateDlg::Controls::DisableUpdate() {
    Window().EnableDlgItem(ids::kBeginUpdate, false);
}

void CPLSM_UpdateDlg::Controls::RefuseUpdate(std::string_view text, std::string_view caption,
                                             MessageIcon icon) {
    dialog_.reporter_.Report({SessionResult::Failure, SessionEnding::Refused, std::string(text),
                              std::string(caption), icon});
}

void CPLSM_UpdateDlg::Controls::Note(std::string_view line) {
    Window().Log(line);
}

void CPLSM_UpdateDlg::Controls::ShowPortButton(std::size_t slot, std::string_view caption) {
    const int id = PortButton(slot);
    Window().ShowDlgItem(id, true);
    Window().EnableDlgItem(id, true);
    Window().SetDlgItemText(id, caption);
}

void CPLSM_UpdateDlg::Controls::HidePortButton(std::size_t slot) {
    const int id = PortButton(slot);
    Window().ShowDlgItem(id, false);
    Window().EnableDlgItem(id, false);
}

void CPLSM_UpdateDlg::Controls::EnablePortButton(std::size_t slot, bool enable) {
    Window().EnableDlgItem(PortButton(slot), enable);
}

void CPLSM_UpdateDlg::Controls::SetPortTooltip(std::size_t slot, std::string_view text) {
    Window().SetDlgItemTooltip(PortButton(slot), text);
}

void CPLSM_UpdateDlg::Controls::CheckPortButton(std::optional<std::size_t> slot) {
    Window().CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton,
                              slot ? PortButton(*slot) : -1);
}

std::optional<std::size_t> CPLSM_UpdateDlg::Controls::CheckedPortButton() const {
    const int id =
        dialog_.window_.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton);
    if (id < ids::kFirstPortButton || id > ids::kLastPortButton) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(id - ids::kFirstPortButton);
}

void CPLSM_UpdateDlg::Controls::EnableUpdate(bool enable) {
    Window().EnableDlgItem(ids::kBeginUpdate, enable);
}

void CPLSM_UpdateDlg::Controls::PortsListed() {
    Window().SetDlgItemText(
        ids::kFirmwareVersionLine,
        std::string(firmware::kFirmwareVersionLabel) + dialog_.firmware.firmwareVersion);
    Window().SetDlgItemText(ids::kBootLoaderLine, "");
    Window().SetDlgItemText(ids::kProgressLine, "");
    Window().SetDlgItemText(ids::kStatusLine, "");
}

void CPLSM_UpdateDlg::Controls::SetSessionLine(SessionLine line, std::string_view text) {
    Window().SetDlgItemText(LineId(line), text);
}

void CPLSM_UpdateDlg::Controls::BlinkStatusLine(std::string_view text) {
    // Past the transcript: the prompt went to the log once, when it was set.
    dialog_.platform_.window.SetDlgItemText(ids::kStatusLine, text);
}

void CPLSM_UpdateDlg::Controls::ShowCancelButton(bool cancel) {
    Window().SetDlgItemText(ids::kBeginUpdate, cancel ? texts::kCancelUpdate : texts::kBeginUpdate);
}

void CPLSM_UpdateDlg::Controls::EnableWindowMenu(bool enable) {
    Window().EnableSystemMenuItem(ids::kSysCommandClose, enable);
    Window().EnableSystemMenuItem(ids::kSysCommandAbout, enable);
}

void CPLSM_UpdateDlg::Controls::LockForSession() {
    Window().EnableDlgItem(ids::IDCANCEL, false);
    Window().EnableDlgItem(ids::kContactInformation, false);
    Window().EnableDlgItem(ids::kRefreshPorts, false);
    EnableWindowMenu(false);
}

void CPLSM_UpdateDlg::Controls::UnlockAfterSession() {
    Window().EnableDlgItem(ids::kRefreshPorts, true);
    Window().EnableDlgItem(ids::IDCANCEL, true);
    Window().EnableDlgItem(ids::kContactInformation, true);
    EnableWindowMenu(true);
}

void CPLSM_UpdateDlg::Controls::EnableSessionControls(bool enable) {
    Window().EnableDlgItem(ids::kBeginUpdate, enable);
    Window().EnableDlgItem(ids::IDCANCEL, enable);
    Window().EnableDlgItem(ids::kRefreshPorts, enable);
    Window().EnableDlgItem(ids::kContactInformation, enable);
}

void CPLSM_UpdateDlg::Controls::LockForTransfer() {
    EnableSessionControls(false);
}

void CPLSM_UpdateDlg::Controls::UnlockAfterTransfer() {
    ShowCancelButton(false);
    EnableSessionControls(true);
    EnableWindowMenu(true);
}

void CPLSM_UpdateDlg::Controls::PostModuleAnswered() {
    Window().PostMessage(ids::UWM_MODULE_ANSWERED);
}

void CPLSM_UpdateDlg::Controls::PostCancelUpdate() {
    Window().PostMessage(ids::UWM_CANCEL_UPDATE);
}

void CPLSM_UpdateDlg::Controls::OnArmed(int comNumber, const std::string& devicePath) {
    SessionEventFanOut::OnArmed(comNumber, devicePath);
    if (!dialog_.waitingPromptShown_) {
        return;
    }
    // Shown at once: arming leaves the line counted as shown.
    dialog_.session.statusPromptText = texts::WaitingPromptText(comNumber);
    Window().SetDlgItemText(ids::kStatusLine, dialog_.session.statusPromptText);
}

void CPLSM_UpdateDlg::Controls::ClearWaitingPrompt() {
    if (dialog_.session.statusPromptText.empty()) {
        return;
    }
    dialog_.session.statusPromptText.clear();
    if (Window().GetDlgItemText(ids::kStatusLine).rfind(texts::kWaitingPromptPrefix, 0) == 0) {
        Window().SetDlgItemText(ids::kStatusLine, "");
    }
}

void CPLSM_UpdateDlg::Controls::OnModuleAnswered(std::string_view identification) {
    ClearWaitingPrompt();
    Window().SetDlgItemText(ids::kBootLoaderLine, texts::BootLoaderLineText(identification));
    SessionEventFanOut::OnModuleAnswered(identification);
}

void CPLSM_UpdateDlg::Controls::OnPageSending(std::uint64_t page, std::uint64_t pageCount) {
    IWindowServices& window = Window();
    window.SetDlgItemText(ids::kProgressLine, texts::ProgressText(page, pageCount));
    if ((page - 1) % kPagesPerRepaint == 0) {
        window.RepaintNow();
    }
    // The message just posted makes sure the one taken is there at once.
    window.PostMessage(wm::Paint);
    window.PumpOneMessage();
    SessionEventFanOut::OnPageSending(page, pageCount);
}

void CPLSM_UpdateDlg::Controls::OnInputDiscarded(std::uint64_t page,
                                                 std::span<const std::uint8_t> bytes) {
    Window().Log(texts::DiscardedInputText(page, bytes));
    SessionEventFanOut::OnInputDiscarded(page, bytes);
}

void CPLSM_UpdateDlg::Controls::OnSessionEnded(SessionResult result) {
    ClearWaitingPrompt();
    SessionEventFanOut::OnSessionEnded(result);
}

void CPLSM_UpdateDlg::Controls::OnOutcome(const SessionOutcome& outcome) {
    SessionEventFanOut::OnOutcome(outcome);
    if (!outcome.text.empty()) {
        dialog_.ShowOutcome(outcome.text, outcome.caption, outcome.icon);
    }
}

}  // namespace vorenta
