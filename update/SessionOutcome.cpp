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
    FinishSession();
    parts_.display.SetSessionLine(SessionLine::Status, texts::kUpdateFailedStatus);
    parts_.reporter.Report({SessionResult::Failure, SessionEnding::TransferFailed,
                            FailureHeadline(failure) + FailureNotice(),
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
