// How every transfer ends: the base released, the port closed and handed
// back, the buttons enabled again, and the operator told.
#include "common/ProductTexts.h"
#include "update/BasePreparation.h"
#include "update/BootLoaderTransfer.h"
#include "update/OutcomeTexts.h"

namespace vorenta {

void BootLoaderTransfer::FinishSession() {
    ReleaseBase(parts_.serialPort, parts_.clock);
    parts_.serialPort.Close();
    parts_.display.SetSessionLine(SessionLine::Status, "");
    parts_.ports.EnablePortButtons();
    parts_.handoff.ReturnLentPort();
}

void BootLoaderTransfer::ReportFailure(TransferFailure failure) {
    // Asked before the port is closed; the release cannot reach a line that is gone.
    const bool lineLost = parts_.serialPort.DeviceReportedError();
    const int port = parts_.serialPort.portNumber;
    if (lineLost) {
        parts_.reporter.Events().OnLineLost(port);
    }
    FinishSession();
    parts_.display.SetSessionLine(SessionLine::Status, texts::kUpdateFailedStatus);
    std::string text = FailureHeadline(failure) + FailureNotice();
    // Below the notice, as the reason below a port that would not open: why no
    // reply could come.
    if (lineLost) {
        text += std::string(texts::kPortGone) + std::to_string(port) +
                std::string(texts::kPortGoneTail) + std::string(texts::kPortGoneInTransfer);
    }
    parts_.reporter.Report({SessionResult::Failure, SessionEnding::TransferFailed, text,
                            std::string(texts::kUpdateErrorCaption), MessageIcon::Exclamation});
}

void BootLoaderTransfer::ReportTemporaryFileFailure() {
    FinishSession();
    parts_.reporter.Report({SessionResult::Failure, SessionEnding::TransferFailed,
                            std::string(texts::kTemporaryFileFailure),
                            std::string(texts::kUpdateErrorCaption), MessageIcon::None});
}

void BootLoaderTransfer::ReportSuccess() {
    FinishSession();
    parts_.display.SetSessionLine(SessionLine::Status, SuccessStatusText());
    parts_.reporter.Report({SessionResult::Success, SessionEnding::Updated, SuccessMessage(),
                            std::string(texts::kUpdateCompleteCaption), MessageIcon::Information});
}

}  // namespace vorenta
