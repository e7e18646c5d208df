// Transitional: operations of the update window that are being built on other
// branches. Each branch deletes its own section when it brings the real code.
#include "ui/UpdateDlg.h"

namespace vorenta {

// --- firmware files ---
void CPLSM_UpdateDlg::LoadFirmwareDescription() {}
int CPLSM_UpdateDlg::CheckFirmwareFile() {
    return 0;
}
int CPLSM_UpdateDlg::BuildPageImage(std::string) {
    return 0;
}
void CPLSM_UpdateDlg::DeletePageImage() {}
// --- end firmware files ---

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
