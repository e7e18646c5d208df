#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "firmware/HeldPageImage.h"
#include "platform/FileAccess.h"
#include "platform/PeerWindows.h"
#include "platform/PortTable.h"
#include "platform/SerialDevice.h"
#include "platform/SettingsStore.h"
#include "platform/TickSource.h"
#include "platform/WindowServices.h"
#include "serial/CRS232.h"
#include "ui/OperatorTranscript.h"
#include "update/OutcomeTexts.h"
#include "update/SessionEvents.h"

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

// How a host draws one control (the window's colour rule).
struct ControlStyle {
    bool emphasisFont = false;
    bool customColour = false;     // false: the default font, colour and background
    std::uint32_t textColour = 0;  // 0x00BBGGRR
    bool transparentBackground = false;
};

// The update window's logic: layout texts, firmware files, ports, the update
// session and its outcome, reached by the hosts through IWindowHandler.
class CPLSM_UpdateDlg : public IWindowHandler {
  public:
    // `preferredPort` is the application's command-line port (-1: none); it
    // is read each time the port buttons are filled.
    CPLSM_UpdateDlg(const UpdateDlgPlatform& platform, const std::int8_t& preferredPort,
                    std::string applicationName);
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

    // Busy wait on the tick counter.
    void DelayMs(std::uint32_t ms);

    // Firmware files.
    void LoadFirmwareDescription();
    int CheckFirmwareFile();
    int BuildPageImage(std::string firmwareFile);
    void DeletePageImage();
    // The held page image's path, empty when the session holds none.
    std::string PageImagePath() const;

    // Ports.
    void EnumerateSerialPorts();
    void RefreshSerialPorts();
    void EnablePortButtons();
    // COM number behind the checked port button, -1 when none is checked.
    int GetSelectedPortNumber() const;
    void SavePortNumber(int comNumber);

    // Port hand-off with the serial test program.
    void RequestPortRelease(int comNumber);
    void ReturnLentPort();

    // Update session.
    void OnBeginUpdate();
    void StartOrCancelUpdate();
    long OnModuleAnswered(std::uintptr_t wParam, std::intptr_t lParam);
    long OnCancelUpdateRequest(std::uintptr_t wParam, std::intptr_t lParam);
    void RunFirmwareTransfer();
    int TransferFirmware();
    void FinishSession();

    // Members, in the order the window declares them.
    CRS232 serialPort;
    std::string programDir;
    std::string tempDir;
    std::string firmwareVersion;
    std::string firmwareFileName;
    std::string statusPromptText;
    int updateActive = 0;
    int moduleAnswered = 0;
    unsigned timerId = 0;
    std::array<int, 22> portNumbers{};
    std::array<int, 100> portPresent{};
    std::uint32_t blinkTick = 0;
    int blinkVisible = 0;
    int pageSize = 256;
    std::uint32_t resultLineColour = 0x008000;
    int lentPort = -1;

    // Hosts without a window (the console updater) set this; the transfer's
    // waits ask it and end the session with a failure report when it says so.
    std::function<bool()> transferInterruptRequested;
    // Listeners hear of every event of the update sessions, in the order they
    // were added; the window shows the outcomes' messages after them.
    void AddListener(ISessionEvents& listener) { listeners_.Add(listener); }
    // From "Begin Update" with a port checked until the window is idle again.
    bool SessionOpen() const { return sessionOpen_; }

    // For hosts the system can ask to end (SIGTERM, SIGHUP): once `requested`
    // says so, a transfer ends with its failure report, an armed session is
    // cancelled at the next tick, and the window then ends. Outcomes go to the
    // log from then on, as nobody is left to close a message box.
    void SetTerminationRequest(std::function<bool()> requested);

  protected:
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
        explicit DispatchScope(CPLSM_UpdateDlg& dialog) : dialog_(dialog) {
            ++dialog_.dispatchDepth_;
        }
        ~DispatchScope() {
            if (--dialog_.dispatchDepth_ == 0) {
                dialog_.EndSessionIfOver();
            }
        }
        DispatchScope(const DispatchScope&) = delete;
        DispatchScope& operator=(const DispatchScope&) = delete;

      private:
        CPLSM_UpdateDlg& dialog_;
    };

    enum class ByteWait { Received, TimedOut, ReadFailed, Interrupted };

    // A session begins on `comNumber`: its listeners hear of it before the port opens.
    void BeginSession(int comNumber);
    void EndSessionIfOver();
    // Tells the listeners how the session ends, then shows the message.
    void Report(const SessionOutcome& outcome);
    // A message about the firmware files or the ports: it refuses an update.
    void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon);
    // Cancel steps 1 to 9, with nothing reported.
    void CancelSession();

    void ReportFailure(TransferFailure failure);
    void ReportTemporaryFileFailure();
    void ReportSuccess();
    // Waits up to `timeoutMs` for one byte of the boot loader's reply.
    ByteWait WaitForByte(std::uint32_t timeoutMs, std::uint8_t& byte);
    bool InterruptRequested() const;
    bool TerminationRequested() const;
    // Ends the window for a termination request once no handler is running.
    void EndForTermination();
    // An outcome for the operator: a message box, or the log while terminating.
    void ShowOutcome(std::string_view text, std::string_view caption, MessageIcon icon);
    // The armed session's port reported that its device is gone: cancel, say so.
    void EndSessionForLostPort();
    // Pages in the page image, or nothing when it cannot be opened.
    std::optional<std::uint64_t> PageImagePageCount();
    // Builds the page image again when the firmware file shown is not the one
    // it was built from; 0 after a message when that fails.
    int RefreshPageImage();
    // The held page image for the transfer to read; null when there is none.
    std::unique_ptr<IFile> OpenPageImage();
    void LockSessionControls();
    void RestoreSessionControls();

    UpdateDlgPlatform platform_;
    SessionEventFanOut listeners_;
    OperatorTranscript window_;  // what the window logic uses of the host
    const std::int8_t& preferredPort_;
    std::string applicationName_;
    HeldPageImage pageImage_;
    std::optional<FileIdentity> checkedFirmware_;  // what the firmware line shows
    std::function<bool()> terminationRequested_;
    int handlersRunning_ = 0;  // handlers under way, which may hold a modal box open
    int dispatchDepth_ = 0;    // handlers under way, timer ticks included
    bool sessionOpen_ = false;
    bool sawSuccess_ = false;
    bool sawFailure_ = false;
    bool outcomeReported_ = false;
};

}  // namespace vorenta
