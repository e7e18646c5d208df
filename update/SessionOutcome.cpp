// How every transfer ends: the base released, the port closed and handed
// back, the buttons enabled again, and the operator told.
#include "common/ProductTexts.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"
#include "update/BasePreparation.h"
#include "update/OutcomeTexts.h"

namespace vorenta {

void CPLSM_UpdateDlg::FinishSession() {
    ReleaseBase(serialPort, platform_.clock);
    serialPort.Close();
    window_.SetDlgItemText(ids::kStatusLine, "");
    EnablePortButtons();
    ReturnLentPort();
}

void CPLSM_UpdateDlg::ReportFailure(TransferFailure failure) {
    FinishSession();
    window_.SetDlgItemText(ids::kStatusLine, texts::kUpdateFailedStatus);
    Report({SessionResult::Failure, SessionEnding::TransferFailed,
            FailureHeadline(failure) + FailureNotice(), std::string(texts::kUpdateErrorCaption),
            MessageIcon::Exclamation});
}

void CPLSM_UpdateDlg::ReportTemporaryFileFailure() {
    FinishSession();
    Report({SessionResult::Failure, SessionEnding::TransferFailed,
            std::string(texts::kTemporaryFileFailure), std::string(texts::kUpdateErrorCaption),
            MessageIcon::None});
}

void CPLSM_UpdateDlg::ReportSuccess() {
    FinishSession();
    window_.SetDlgItemText(ids::kStatusLine, SuccessStatusText());
    Report({SessionResult::Success, SessionEnding::Updated, SuccessMessage(),
            std::string(texts::kUpdateCompleteCaption), MessageIcon::Information});
}

}  // namespace vorenta
