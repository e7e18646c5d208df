// Transitional: operations of the update window that are being built on other
// branches. Each branch deletes its own section when it brings the real code.
#include "ui/UpdateDlg.h"

namespace vorenta {

// --- ports ---
void CPLSM_UpdateDlg::EnumerateSerialPorts() {}
void CPLSM_UpdateDlg::RefreshSerialPorts() {}
void CPLSM_UpdateDlg::EnablePortButtons() {}
int CPLSM_UpdateDlg::GetSelectedPortNumber() const {
    return -1;
}
void CPLSM_UpdateDlg::SavePortNumber(int) {}
void CPLSM_UpdateDlg::RequestPortRelease(int) {}
void CPLSM_UpdateDlg::ReturnLentPort() {}
// --- end ports ---


}  // namespace vorenta
