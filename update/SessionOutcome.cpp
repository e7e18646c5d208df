// How every transfer ends: the base released, the port closed and handed
// back, the buttons enabled again, and the operator told.
#include "ui/ProductTexts.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTexts.h"
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
    // Asked before the port is closed; the release cannot reach a line that is gone.
    const bool lineLost = serialPort.DeviceReportedError();
    FinishSession();
    platform_.window.SetDlgItemText(ids::kStatusLine, texts::kUpdateFailedStatus);
    std::string text = FailureHeadline(failure) + FailureNotice();
    // Below the notice, as the reason below a port that would not open: why no
    // reply could come.
    if (lineLost) {
        text += std::string(texts::kPortGone) + std::to_string(serialPort.portNumber) +
                std::string(texts::kPortGoneTail) + std::string(texts::kPortGoneInTransfer);
    }
    ShowOutcome(text, texts::kUpdateErrorCaption, MessageIcon::Exclamation);
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
