// The update session: arming, the poll on every timer tick, the module's
// answer, cancelling, and the transfer run from the answer's message.
#include "update/SessionController.h"

#include <string>

#include "common/PrintableText.h"
#include "common/ProductTexts.h"
#include "firmware/FirmwareFingerprint.h"
#include "serial/SessionLine.h"
#include "update/BasePreparation.h"
#include "update/BootLoaderProtocol.h"
#include "update/OutcomeTexts.h"

namespace vorenta {

namespace {

constexpr std::uint32_t kPromptShownMs = 1500;
constexpr std::uint32_t kPromptHiddenMs = 250;

constexpr std::string_view kEmptyFirmware =
    "The firmware file is empty: there is nothing to send to the module.     ";

}  // namespace

void SessionController::CancelSession() {
    ISessionDisplay& display = parts_.display;
    updateActive = 0;
    moduleAnswered = 0;
    parts_.window.RefreshColours();
    ReleaseBase(parts_.serialPort, parts_.clock);
    parts_.serialPort.Close();
    display.ShowCancelButton(false);
    display.SetSessionLine(SessionLine::Status, "");
    parts_.ports.EnablePortButtons();
    parts_.handoff.ReturnLentPort();
    display.UnlockAfterSession();
    parts_.pageImage.DeletePageImage();
}

void SessionController::BeginSession(int comNumber) {
    SessionStart start;
    start.comNumber = comNumber;
    start.devicePath = parts_.portTable.DevicePathFor(comNumber);
    start.firmwarePath = parts_.firmware.FirmwarePath();
    start.firmwareVersion = parts_.firmware.firmwareVersion;
    // Read once, as the session begins: what the records name is what was sent.
    if (!parts_.firmware.firmwareFileName.empty()) {
        start.firmware =
            FingerprintFirmware(parts_.files, start.firmwarePath, parts_.pageImage.stopRequested);
    }
    parts_.reporter.Begin(start);
}

void SessionController::StartOrCancelUpdate() {
    CRS232& serialPort = parts_.serialPort;
    ISessionDisplay& display = parts_.display;
    const WaitCursor wait(parts_.window);

    if (updateActive == 1) {
        CancelSession();
        if (!parts_.reporter.OutcomeReported()) {
            parts_.reporter.Report({});  // cancelled, with nothing to show
        }
        return;
    }

    const int port = parts_.ports.GetSelectedPortNumber();
    if (port == PortSelection::kNoPort) {
        return;  // "Begin Update" is only enabled with a port checked
    }
    BeginSession(port);

    if (serialPort.Open(port, kSessionBaudRate, kSessionParity, kSessionDataBits,
                        kSessionStopBits) == 0) {
        parts_.handoff.RequestPortRelease(port);
        if (serialPort.Open(port, kSessionBaudRate, kSessionParity, kSessionDataBits,
                            kSessionStopBits) == 0) {
            display.SetSessionLine(SessionLine::Status, "");
            std::string text = std::string(texts::kPortOpenFailure) + std::to_string(port) +
                               std::string(texts::kPortMessageTail);
            // What the platform found out about the failure, below the usual line.
            if (const std::string why =
                    parts_.portTable.DescribeOpenFailure(port, serialPort.DevicePath());
                !why.empty()) {
                text += "\n\n" + PrintableText(why);
            }
            parts_.reporter.Report({SessionResult::Failure, SessionEnding::PortUnavailable, text,
                                    std::string(texts::kUpdateErrorCaption),
                                    MessageIcon::Exclamation});
            parts_.handoff.ReturnLentPort();
            return;
        }
    }

    parts_.pageImage.pageSize = firmware::kPageSize;
    if (parts_.firmware.CheckFirmwareFile() == 0) {
        // Nothing was sent yet; do not keep the port held while the window is idle.
        serialPort.Close();
        parts_.handoff.ReturnLentPort();
        return;
    }

    display.SetSessionLine(SessionLine::BootLoader, "");
    display.SetSessionLine(SessionLine::Progress, "");
    display.SetSessionLine(SessionLine::Status, "");

    PrepareBaseStation(serialPort, parts_.clock);

    display.ShowCancelButton(true);
    parts_.ports.DisableOtherPortButtons(port);
    display.LockForSession();

    if (parts_.pageImage.BuildPageImage(parts_.firmware.firmwareFileName) == 0) {
        display.PostCancelUpdate();
    } else if (parts_.pageImage.PageCount() == std::optional<std::uint64_t>(0)) {
        // An empty image would end in the end marker alone, which the module
        // takes as a complete (empty) firmware.
        parts_.reporter.Report({SessionResult::Failure, SessionEnding::Refused,
                                std::string(kEmptyFirmware),
                                std::string(texts::kUpdateErrorCaption), MessageIcon::Exclamation});
        display.PostCancelUpdate();
    }

    blinkTick = parts_.clock.GetTickCount();
    blinkVisible = 1;
    updateActive = 1;
    parts_.window.RefreshColours();
    display.SetSessionLine(SessionLine::Step, "");
    parts_.reporter.Events().OnArmed(port, serialPort.DevicePath());
}

void SessionController::OnTimer(unsigned) {
    if (updateActive == 0 || moduleAnswered == 1) {
        return;
    }
    CRS232& serialPort = parts_.serialPort;
    const std::uint32_t now = parts_.clock.GetTickCount();
    if (blinkVisible == 1 && TicksSince(blinkTick, now) > kPromptShownMs) {
        blinkVisible = 0;
        parts_.display.BlinkStatusLine("");
        blinkTick = now;
    } else if (blinkVisible == 0 && TicksSince(blinkTick, now) > kPromptHiddenMs) {
        blinkVisible = 1;
        parts_.display.BlinkStatusLine(statusPromptText);
        blinkTick = now;
    }

    while (serialPort.BytesWaiting() > 0) {
        std::uint8_t byte = 0;
        if (serialPort.Read(&byte, 1) != 1) {
            break;
        }
        if (byte == bootloader::kAnswerByte) {
            moduleAnswered = 1;
            parts_.display.PostModuleAnswered();
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

long SessionController::OnModuleAnswered(std::uintptr_t, std::intptr_t) {
    updateActive = 0;
    moduleAnswered = 0;
    parts_.window.RefreshColours();
    parts_.display.LockForTransfer();

    RunFirmwareTransfer();

    parts_.display.UnlockAfterTransfer();
    return 1;
}

void SessionController::RunFirmwareTransfer() {
    transfer_.TransferFirmware();
    parts_.pageImage.DeletePageImage();
}

void SessionController::EndSessionForLostPort() {
    const int port = parts_.serialPort.portNumber;
    parts_.reporter.Events().OnLineLost(port);
    {
        // Cancelled like "Cancel Update": the release goes nowhere, the rest is ours.
        const WaitCursor wait(parts_.window);
        CancelSession();
    }
    parts_.reporter.Report({SessionResult::Failure, SessionEnding::PortLost,
                            std::string(texts::kPortGone) + std::to_string(port) +
                                std::string(texts::kPortGoneTail) +
                                std::string(texts::kPortGoneWhilePolled),
                            std::string(texts::kUpdateErrorCaption), MessageIcon::Exclamation});
    parts_.ports.RefreshSerialPorts();
}

}  // namespace vorenta
