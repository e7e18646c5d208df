// The update session: arming, the poll on every timer tick, the module's
// answer, cancelling, and the transfer run from the answer's message.
#include <string>
#include <utility>

#include "common/PrintableText.h"
#include "common/ProductTexts.h"
#include "firmware/FirmwareFingerprint.h"
#include "firmware/FirmwareTexts.h"
#include "ui/Colours.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTexts.h"
#include "update/BasePreparation.h"
#include "update/BootLoaderProtocol.h"

namespace vorenta {

namespace {

constexpr std::uint32_t kPromptShownMs = 1500;
constexpr std::uint32_t kPromptHiddenMs = 250;

constexpr std::string_view kEmptyFirmware =
    "The firmware file is empty: there is nothing to send to the module.     ";

}  // namespace

void CPLSM_UpdateDlg::OnBeginUpdate() {
    window_.SetDlgItemText(ids::kStepLine, "");
    resultLineColour = kStepLineGreen;
    window_.RefreshColours();
    StartOrCancelUpdate();
}

long CPLSM_UpdateDlg::OnCancelUpdateRequest(std::uintptr_t, std::intptr_t) {
    OnBeginUpdate();
    return 1;
}

void CPLSM_UpdateDlg::RestoreSessionControls() {
    IWindowServices& window = window_;
    window.EnableDlgItem(ids::kRefreshPorts, true);
    window.EnableDlgItem(ids::IDCANCEL, true);
    window.EnableDlgItem(ids::kContactInformation, true);
}

void CPLSM_UpdateDlg::LockSessionControls() {
    IWindowServices& window = window_;
    window.EnableDlgItem(ids::IDCANCEL, false);
    window.EnableDlgItem(ids::kContactInformation, false);
    window.EnableDlgItem(ids::kRefreshPorts, false);
}

void CPLSM_UpdateDlg::CancelSession() {
    IWindowServices& window = window_;
    {
        updateActive = 0;
        moduleAnswered = 0;
        window.RefreshColours();
        ReleaseBase(serialPort, platform_.clock);
        serialPort.Close();
        window.SetDlgItemText(ids::kBeginUpdate, texts::kBeginUpdate);
        window.SetDlgItemText(ids::kStatusLine, "");
        EnablePortButtons();
        ReturnLentPort();
        RestoreSessionControls();
        window.EnableSystemMenuItem(ids::kSysCommandClose, true);
        window.EnableSystemMenuItem(ids::kSysCommandAbout, true);
        DeletePageImage();
    }
}

void CPLSM_UpdateDlg::StartOrCancelUpdate() {
    IWindowServices& window = window_;
    WaitCursor wait(window);

    if (updateActive == 1) {
        CancelSession();
        if (!outcomeReported_) {
            Report({});  // cancelled, nothing to show
        }
        return;
    }

    const int checked = window.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton);
    if (checked < ids::kFirstPortButton || checked > ids::kLastPortButton) {
        return;  // "Begin Update" is only enabled with a port checked
    }
    const int port = portNumbers[static_cast<std::size_t>(checked - ids::kFirstPortButton)];
    BeginSession(port);

    if (serialPort.Open(port, kSessionBaudRate, kSessionParity, kSessionDataBits,
                        kSessionStopBits) == 0) {
        RequestPortRelease(port);
        if (serialPort.Open(port, kSessionBaudRate, kSessionParity, kSessionDataBits,
                            kSessionStopBits) == 0) {
            window.SetDlgItemText(ids::kStatusLine, "");
            std::string text = std::string(texts::kPortOpenFailure) + std::to_string(port) +
                               std::string(texts::kPortMessageTail);
            // What the platform found out about the failure, below the usual line.
            if (const std::string why =
                    platform_.portTable.DescribeOpenFailure(port, serialPort.DevicePath());
                !why.empty()) {
                text += "\n\n" + PrintableText(why);
            }
            Report({SessionResult::Failure, SessionEnding::PortUnavailable, text,
                    std::string(texts::kUpdateErrorCaption), MessageIcon::Exclamation});
            ReturnLentPort();
            return;
        }
    }

    pageSize = firmware::kPageSize;
    if (CheckFirmwareFile() == 0) {
        // Nothing was sent yet; do not keep the port held while the window is idle.
        serialPort.Close();
        ReturnLentPort();
        return;
    }

    window.SetDlgItemText(ids::kBootLoaderLine, "");
    window.SetDlgItemText(ids::kProgressLine, "");
    window.SetDlgItemText(ids::kStatusLine, "");

    PrepareBaseStation(serialPort, platform_.clock);

    window.SetDlgItemText(ids::kBeginUpdate, texts::kCancelUpdate);
    for (std::size_t i = 0; i < portNumbers.size(); ++i) {
        if (portNumbers[i] != port && portNumbers[i] != -1) {
            window.EnableDlgItem(ids::kFirstPortButton + static_cast<int>(i), false);
        }
    }
    LockSessionControls();
    window.EnableSystemMenuItem(ids::kSysCommandClose, false);
    window.EnableSystemMenuItem(ids::kSysCommandAbout, false);

    if (BuildPageImage(firmwareFileName) == 0) {
        window.PostMessage(ids::UWM_CANCEL_UPDATE);
    } else if (PageImagePageCount() == std::optional<std::uint64_t>(0)) {
        // An empty image would end in the end marker alone, which the module
        // takes as a complete (empty) firmware.
        Report({SessionResult::Failure, SessionEnding::Refused, std::string(kEmptyFirmware),
                std::string(texts::kUpdateErrorCaption), MessageIcon::Exclamation});
        window.PostMessage(ids::UWM_CANCEL_UPDATE);
    }

    blinkTick = platform_.clock.GetTickCount();
    blinkVisible = 1;
    updateActive = 1;
    window.RefreshColours();
    window.SetDlgItemText(ids::kStepLine, "");
    if (updateActive == 1) {
        listeners_.OnArmed(port, serialPort.DevicePath());
    }
}

void CPLSM_UpdateDlg::OnTimer(unsigned) {
    const DispatchScope dispatched(*this);
    // Not from inside another handler: a modal box may be waiting there.
    if (TerminationRequested() && handlersRunning_ == 0) {
        EndForTermination();
        return;
    }
    if (updateActive == 0 || moduleAnswered == 1) {
        return;
    }
    IWindowServices& window = window_;
    const std::uint32_t now = platform_.clock.GetTickCount();
    if (blinkVisible == 1 && TicksSince(blinkTick, now) > kPromptShownMs) {
        blinkVisible = 0;
        window.SetDlgItemText(ids::kStatusLine, "");
        blinkTick = now;
    } else if (blinkVisible == 0 && TicksSince(blinkTick, now) > kPromptHiddenMs) {
        blinkVisible = 1;
        window.SetDlgItemText(ids::kStatusLine, statusPromptText);
        blinkTick = now;
    }

    while (serialPort.BytesWaiting() > 0) {
        std::uint8_t byte = 0;
        if (serialPort.Read(&byte, 1) != 1) {
            break;
        }
        if (byte == bootloader::kAnswerByte) {
            moduleAnswered = 1;
            window.PostMessage(ids::UWM_MODULE_ANSWERED);
            break;
        }
    }
    if (moduleAnswered == 0 && serialPort.DeviceReportedError()) {
        EndSessionForLostPort();
        return;
    }

    const std::uint8_t poll = bootloader::kPollByte;
    serialPort.SendPacket(&poll, 1);
}

long CPLSM_UpdateDlg::OnModuleAnswered(std::uintptr_t, std::intptr_t) {
    IWindowServices& window = window_;
    updateActive = 0;
    moduleAnswered = 0;
    window.RefreshColours();
    window.EnableDlgItem(ids::kBeginUpdate, false);
    window.EnableDlgItem(ids::IDCANCEL, false);
    window.EnableDlgItem(ids::kRefreshPorts, false);
    window.EnableDlgItem(ids::kContactInformation, false);

    RunFirmwareTransfer();

    window.SetDlgItemText(ids::kBeginUpdate, texts::kBeginUpdate);
    window.EnableDlgItem(ids::kBeginUpdate, true);
    window.EnableDlgItem(ids::IDCANCEL, true);
    window.EnableDlgItem(ids::kRefreshPorts, true);
    window.EnableDlgItem(ids::kContactInformation, true);
    window.EnableSystemMenuItem(ids::kSysCommandClose, true);
    window.EnableSystemMenuItem(ids::kSysCommandAbout, true);
    return 1;
}

void CPLSM_UpdateDlg::RunFirmwareTransfer() {
    TransferFirmware();
    DeletePageImage();
}

std::optional<std::uint64_t> CPLSM_UpdateDlg::PageImagePageCount() {
    const auto file = OpenPageImage();
    if (!file) {
        return std::nullopt;
    }
    const auto length = file->Length();
    if (!length || pageSize <= 0) {
        return std::nullopt;
    }
    return *length / static_cast<std::uint64_t>(pageSize);
}

void CPLSM_UpdateDlg::EndSessionForLostPort() {
    const int port = serialPort.portNumber;
    listeners_.OnLineLost(port);
    {
        // Cancelled like "Cancel Update": the release goes nowhere, the rest is ours.
        WaitCursor wait(window_);
        CancelSession();
    }
    Report(
        {SessionResult::Failure, SessionEnding::PortLost,
         std::string(texts::kPortGone) + std::to_string(port) + std::string(texts::kPortGoneTail),
         std::string(texts::kUpdateErrorCaption), MessageIcon::Exclamation});
    RefreshSerialPorts();
}

void CPLSM_UpdateDlg::SetTerminationRequest(std::function<bool()> requested) {
    terminationRequested_ = requested;
    // The transfer's waits ask this one.
    transferInterruptRequested = [requested, previous = std::move(transferInterruptRequested)] {
        return requested() || (previous && previous());
    };
}

bool CPLSM_UpdateDlg::TerminationRequested() const {
    return terminationRequested_ && terminationRequested_();
}

void CPLSM_UpdateDlg::EndForTermination() {
    if (updateActive == 1) {
        StartOrCancelUpdate();  // base released, port closed, page image deleted
    }
    serialPort.Close();
    ReturnLentPort();
    DeletePageImage();
    window_.EndDialog(ids::IDCANCEL);
}

void CPLSM_UpdateDlg::BeginSession(int comNumber) {
    sessionOpen_ = true;
    sawSuccess_ = false;
    sawFailure_ = false;
    outcomeReported_ = false;
    SessionStart start;
    start.comNumber = comNumber;
    start.devicePath = platform_.portTable.DevicePathFor(comNumber);
    start.firmwarePath = programDir + firmwareFileName;
    start.firmwareVersion = firmwareVersion;
    // Read once, as the session begins: what the records name is what was sent.
    if (!firmwareFileName.empty()) {
        start.firmware = FingerprintFirmware(platform_.files, start.firmwarePath);
    }
    listeners_.OnSessionStarted(start);
}

void CPLSM_UpdateDlg::EndSessionIfOver() {
    if (!sessionOpen_ || updateActive != 0) {
        return;
    }
    sessionOpen_ = false;
    listeners_.OnSessionEnded(sawFailure_   ? SessionResult::Failure
                              : sawSuccess_ ? SessionResult::Success
                                            : SessionResult::Cancelled);
}

void CPLSM_UpdateDlg::Report(const SessionOutcome& outcome) {
    if (sessionOpen_) {
        outcomeReported_ = true;
        sawSuccess_ = sawSuccess_ || outcome.result == SessionResult::Success;
        sawFailure_ = sawFailure_ || outcome.result == SessionResult::Failure;
    }
    listeners_.OnOutcome(outcome);
    if (!outcome.text.empty()) {
        ShowOutcome(outcome.text, outcome.caption, outcome.icon);
    }
}

void CPLSM_UpdateDlg::ShowMessage(std::string_view text, std::string_view caption,
                                  MessageIcon icon) {
    Report({SessionResult::Failure, SessionEnding::Refused, std::string(text), std::string(caption),
            icon});
}

void CPLSM_UpdateDlg::ShowOutcome(std::string_view text, std::string_view caption,
                                  MessageIcon icon) {
    if (TerminationRequested()) {
        platform_.window.Log(std::string(caption) + ": " + std::string(text));
        return;
    }
    window_.MessageBox(text, caption, icon);
}

}  // namespace vorenta
