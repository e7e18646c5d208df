// The update window's parts, the handlers the host delivers, and the session
// as the window sees it: "Begin Update", the timer, and the program's end.
#include "ui/UpdateDlg.h"

#include <algorithm>
#include <utility>

#include "ui/Colours.h"
#include "ui/UpdateDlgControls.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {

CPLSM_UpdateDlg::CPLSM_UpdateDlg(const UpdateDlgPlatform& platform,
                                 const std::int8_t& preferredPort,
                                 const std::string& applicationName)
    : platform_(platform),
      preferredPort_(preferredPort),
      controls_(std::make_unique<Controls>(*this)),
      window_(platform.window, *controls_),
      reporter_(*controls_),
      serialPort(platform.serialDevice, platform.portTable, platform.clock),
      firmware(platform.files, *controls_),
      pageImage(platform.files, *controls_, firmware, applicationName),
      ports(platform.portTable, platform.settings, window_, *controls_, firmware, preferredPort,
            applicationName),
      handoff(platform.peers, platform.clock, window_),
      transfer(Parts()),
      session(Parts(), transfer) {}

CPLSM_UpdateDlg::~CPLSM_UpdateDlg() = default;

void CPLSM_UpdateDlg::AddListener(ISessionEvents& listener) {
    controls_->Add(listener);
}

SessionParts CPLSM_UpdateDlg::Parts() {
    return SessionParts{
        serialPort,      platform_.clock, window_,   *controls_, reporter_, platform_.portTable,
        platform_.files, firmware,        pageImage, ports,      handoff};
}

CPLSM_UpdateDlg::DispatchScope::DispatchScope(CPLSM_UpdateDlg& dialog) : dialog_(dialog) {
    ++dialog_.dispatchDepth_;
}

CPLSM_UpdateDlg::DispatchScope::~DispatchScope() {
    if (--dialog_.dispatchDepth_ == 0 && dialog_.session.updateActive == 0) {
        dialog_.reporter_.EndIfOpen();
    }
}

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
            ports.RefreshSerialPorts();
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
        session.OnModuleAnswered(0, 0);
    } else if (message == ids::UWM_CANCEL_UPDATE) {
        OnCancelUpdateRequest(0, 0);
    }
}

void CPLSM_UpdateDlg::OnPortsChanged() {
    const DispatchScope dispatched(*this);
    portsChanged_ = true;
    FollowPortChanges();
}

void CPLSM_UpdateDlg::FollowPortChanges() {
    // Not during a session or its messages, nor while another handler (a
    // message box, the About dialog) waits: the next idle tick follows it.
    if (!portsChanged_ || session.updateActive != 0 || handlersRunning_ != 0 ||
        !window_.IsDlgItemEnabled(ids::kRefreshPorts)) {
        return;
    }
    const HandlerScope running(handlersRunning_);
    portsChanged_ = false;
    const int checked = ports.GetSelectedPortNumber();
    ports.RefreshSerialPorts();
    // The refresh checks the saved port; an operator's own choice stays while it is there.
    if (const auto slot = std::find(ports.portNumbers.begin(), ports.portNumbers.end(), checked);
        checked != PortSelection::kNoPort && slot != ports.portNumbers.end()) {
        controls_->CheckPortButton(static_cast<std::size_t>(slot - ports.portNumbers.begin()));
    }
}

void CPLSM_UpdateDlg::OnBeginUpdate() {
    window_.SetDlgItemText(ids::kStepLine, "");
    resultLineColour = kStepLineGreen;
    window_.RefreshColours();
    session.StartOrCancelUpdate();
}

long CPLSM_UpdateDlg::OnCancelUpdateRequest(std::uintptr_t, std::intptr_t) {
    OnBeginUpdate();
    return 1;
}

void CPLSM_UpdateDlg::OnTimer(unsigned timerId) {
    const DispatchScope dispatched(*this);
    // Not from inside another handler: a modal box may be waiting there.
    if (TerminationRequested() && handlersRunning_ == 0) {
        EndForTermination();
        return;
    }
    if (portWatch_ != nullptr && portWatch_->PortsChanged()) {
        portsChanged_ = true;
    }
    FollowPortChanges();
    session.OnTimer(timerId);
}

void CPLSM_UpdateDlg::SetTerminationRequest(const std::function<bool()>& requested) {
    terminationRequested_ = requested;
    // The transfer's waits ask this one.
    transfer.transferInterruptRequested =
        [requested, previous = std::move(transfer.transferInterruptRequested)] {
            return requested() || (previous && previous());
        };
}

bool CPLSM_UpdateDlg::TerminationRequested() const {
    return terminationRequested_ && terminationRequested_();
}

void CPLSM_UpdateDlg::EndForTermination() {
    if (session.updateActive == 1) {
        session.StartOrCancelUpdate();  // base released, port closed, page image deleted
    }
    serialPort.Close();
    handoff.ReturnLentPort();
    pageImage.DeletePageImage();
    window_.EndDialog(ids::IDCANCEL);
}

void CPLSM_UpdateDlg::ShowOutcome(std::string_view text, std::string_view caption,
                                  MessageIcon icon) {
    if (TerminationRequested()) {
        platform_.window.Log(std::string(caption) + ": " + std::string(text));
        return;
    }
    window_.MessageBox(text, caption, icon);
}

}  // namespace vorenta
