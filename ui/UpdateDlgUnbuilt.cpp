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

// --- window and session ---
bool CPLSM_UpdateDlg::OnInitDialog() {
    return true;
}
void CPLSM_UpdateDlg::OnOK() {}
void CPLSM_UpdateDlg::OnDone() {}
void CPLSM_UpdateDlg::OnDestroy() {}
ControlStyle CPLSM_UpdateDlg::GetControlStyle(int) const {
    return {};
}
void CPLSM_UpdateDlg::OnSysCommand(unsigned) {}
void CPLSM_UpdateDlg::OnTimer(unsigned) {}
void CPLSM_UpdateDlg::OnBeginUpdate() {}
void CPLSM_UpdateDlg::StartOrCancelUpdate() {}
long CPLSM_UpdateDlg::OnModuleAnswered(std::uintptr_t, std::intptr_t) {
    return 1;
}
long CPLSM_UpdateDlg::OnCancelUpdateRequest(std::uintptr_t, std::intptr_t) {
    return 1;
}
void CPLSM_UpdateDlg::RunFirmwareTransfer() {}
int CPLSM_UpdateDlg::TransferFirmware() {
    return 0;
}
void CPLSM_UpdateDlg::FinishSession() {}
// --- end window and session ---

// --- serial port ---
CRS232::CRS232(ISerialDevice& device, IPortTable& ports, ITickSource& clock)
    : device_(device), ports_(ports), clock_(clock) {}
CRS232::~CRS232() = default;
// --- end serial port ---

}  // namespace vorenta
