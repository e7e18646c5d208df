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
    platform_.window.SetDlgItemText(ids::kStatusLine, "");
    EnablePortButtons();
    ReturnLentPort();
}

void CPLSM_UpdateDlg::ReportFailure(TransferFailure failure) {
    FinishSession();
    platform_.window.SetDlgItemText(ids::kStatusLine, texts::kUpdateFailedStatus);
    ShowOutcome(FailureHeadline(failure) + FailureNotice(), texts::kUpdateErrorCaption,
                MessageIcon::Exclamation);
}

void CPLSM_UpdateDlg::ReportTemporaryFileFailure() {
    FinishSession();
    ShowOutcome(texts::kTemporaryFileFailure, texts::kUpdateErrorCaption, MessageIcon::None);
}

void CPLSM_UpdateDlg::ReportSuccess() {
    FinishSession();
    platform_.window.SetDlgItemText(ids::kStatusLine, SuccessStatusText());
    ShowOutcome(SuccessMessage(), texts::kUpdateCompleteCaption, MessageIcon::Information);
}

}  // namespace vorenta
