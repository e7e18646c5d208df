#include "ui/UpdateDlg.h"

#include <utility>

#include "ui/UpdateDlgIds.h"

namespace vorenta {

CPLSM_UpdateDlg::CPLSM_UpdateDlg(const UpdateDlgPlatform& platform,
                                 const std::int8_t& preferredPort, std::string applicationName)
    : serialPort(platform.serialDevice, platform.portTable, platform.clock),
      platform_(platform),
      window_(platform.window, listeners_),
      preferredPort_(preferredPort),
      applicationName_(std::move(applicationName)) {
    portNumbers.fill(-1);
    portPresent.fill(0);
}

CPLSM_UpdateDlg::~CPLSM_UpdateDlg() = default;

void CPLSM_UpdateDlg::DelayMs(std::uint32_t ms) {
    vorenta::DelayMs(platform_.clock, ms);
}

void CPLSM_UpdateDlg::OnCommand(int controlId) {
    const DispatchScope dispatched(*this);
    const HandlerScope running(handlersRunning_);
    switch (controlId) {
        case ids::IDOK:
            OnOK();
            break;
        case ids::IDCANCEL:
            OnDone();
            break;
        case ids::kBeginUpdate:
            OnBeginUpdate();
            break;
        case ids::kRefreshPorts:
            RefreshSerialPorts();
            break;
        case ids::kContactInformation:
            window_.ShowAboutDialog();
            break;
        default:
            // Port buttons check themselves; nothing else to do.
            break;
    }
}

void CPLSM_UpdateDlg::OnPostedMessage(unsigned message) {
    const DispatchScope dispatched(*this);
    const HandlerScope running(handlersRunning_);
    if (message == ids::UWM_MODULE_ANSWERED) {
        OnModuleAnswered(0, 0);
    } else if (message == ids::UWM_CANCEL_UPDATE) {
        OnCancelUpdateRequest(0, 0);
    }
}

}  // namespace vorenta
