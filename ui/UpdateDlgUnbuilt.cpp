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
