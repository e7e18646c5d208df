#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "firmware/FirmwareDescription.h"
#include "firmware/PageImage.h"
#include "platform/FileAccess.h"
#include "platform/PeerWindows.h"
#include "platform/PortTable.h"
#include "platform/PortWatch.h"
#include "platform/SerialDevice.h"
#include "platform/SettingsStore.h"
#include "platform/TickSource.h"
#include "platform/WindowServices.h"
#include "serial/CRS232.h"
#include "serial/PortHandoff.h"
#include "serial/PortSelection.h"
#include "ui/DialogHost.h"
#include "ui/OperatorTranscript.h"
#include "update/BootLoaderTransfer.h"
#include "update/SessionController.h"
#include "update/SessionEvents.h"
#include "update/SessionReporter.h"

namespace vorenta {

// The platform services the update window works through.
struct UpdateDlgPlatform {
    IWindowServices& window;
    ITickSource& clock;
    ISerialDevice& serialDevice;
    IPortTable& portTable;
    ISettingsStore& settings;
    IPeerWindows& peers;
    IFileSystem& files;
};

// The update window: its layout texts, colour rule, "Done" and teardown, and
// the handlers the host delivers. It owns the serial port, the firmware
// files, the port selection and hand-off, and the update session with its
// transfer, and shows what they report.
class CPLSM_UpdateDlg : public IWindowHandler {
  private:
    // The window's controls as the firmware files, the port selection and the
    // session see them, and the session's events as the window shows them.
    class Controls;

    UpdateDlgPlatform platform_;
    const std::int8_t& preferredPort_;
    // The window's controls, and the fan-out of the session's events to the
    // window's listeners.
    std::unique_ptr<Controls> controls_;
    OperatorTranscript window_;  // what the window and its parts use of the host
    SessionReporter reporter_;
    std::function<bool()> terminationRequested_;
    int handlersRunning_ = 0;  // handlers under way, which may hold a modal box open
    int dispatchDepth_ = 0;    // handlers under way, timer ticks included
    bool waitingPromptShown_ = true;
    IPortWatch* portWatch_ = nullptr;
    bool portsChanged_ = false;  // a change not yet followed

  public:
    // `preferredPort` is the application's command-line port (-1: none); it
    // is read each time the port buttons are filled.
    CPLSM_UpdateDlg(const UpdateDlgPlatform& platform, const std::int8_t& preferredPort,
                    const std::string& applicationName);
    ~CPLSM_UpdateDlg() override;
    CPLSM_UpdateDlg(const CPLSM_UpdateDlg&) = delete;
    CPLSM_UpdateDlg& operator=(const CPLSM_UpdateDlg&) = delete;

    // Window lifetime.
    bool OnInitDialog();
    void OnOK();
    void OnDone();
    void OnDestroy();
    ControlStyle GetControlStyle(int controlId) const;

    // IWindowHandler.
    void OnCommand(int controlId) override;
    void OnSysCommand(unsigned commandId) override;
    void OnTimer(unsigned timerId) override;
    void OnPostedMessage(unsigned message) override;
    // While the window is idle the port buttons follow ports plugged in and
    // pulled out, as "Refresh Serial Ports" would, keeping the checked port
    // while it is there; a change during a session waits for its end.
    void OnPortsChanged() override;

    // Button 1006, "Begin Update" or "Cancel Update", and the cancel request.
    void OnBeginUpdate();
    long OnCancelUpdateRequest(std::uintptr_t wParam, std::intptr_t lParam);

    // Busy wait on the tick counter.
    void DelayMs(std::uint32_t ms);

    // Listeners hear of every event of the update sessions, in the order they
    // were added; the window shows an outcome's message after them.
    void AddListener(ISessionEvents& listener);

    // For hosts the system can ask to end (SIGTERM, SIGHUP): once `requested`
    // says so, a transfer ends with its failure report, an armed session is
    // cancelled at the next tick, and the window then ends. Outcomes go to the
    // log from then on, as nobody is left to close a message box.
    void SetTerminationRequest(const std::function<bool()>& requested);

    // The window programs blink a prompt of their own in the status line while
    // the module is polled; a console that says its own leaves it out.
    void ShowWaitingPrompt(bool show) { waitingPromptShown_ = show; }

    // A watch asked on every timer tick whether ports came or went, for hosts
    // whose system does not post such a message to the window.
    void WatchPorts(IPortWatch& watch) { portWatch_ = &watch; }

    // What the window owns, in the order it declares them.
    CRS232 serialPort;
    FirmwareDescription firmware;
    PageImage pageImage;
    PortSelection ports;
    PortHandoff handoff;
    BootLoaderTransfer transfer;
    SessionController session;
    unsigned timerId = 0;
    std::uint32_t resultLineColour = 0x008000;

  private:
    // Counts a handler under way for as long as it runs.
    class HandlerScope {
      public:
        explicit HandlerScope(int& running) : running_(running) { ++running_; }
        ~HandlerScope() { --running_; }
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

      private:
        int& running_;
    };

    // Counts the handlers the host is running, nested ones included; when the
    // outermost one returns with the window idle, a session under way is over.
    class DispatchScope {
      public:
        explicit DispatchScope(CPLSM_UpdateDlg& dialog);
        ~DispatchScope();
        DispatchScope(const DispatchScope&) = delete;
        DispatchScope& operator=(const DispatchScope&) = delete;

      private:
        CPLSM_UpdateDlg& dialog_;
    };

    SessionParts Parts();
    // Follows a port change when nothing else is under way.
    void FollowPortChanges();
    bool TerminationRequested() const;
    // Ends the window for a termination request once no handler is running.
    void EndForTermination();
    // An outcome for the operator: a message box, or the log while terminating.
    void ShowOutcome(std::string_view text, std::string_view caption, MessageIcon icon);
};

}  // namespace vorenta
