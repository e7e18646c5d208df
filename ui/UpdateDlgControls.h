#pragma once

#include "firmware/FirmwareDisplay.h"
#include "serial/PortSelection.h"
#include "ui/UpdateDlg.h"
#include "update/SessionDisplay.h"
#include "update/SessionEvents.h"

namespace vorenta {

// The update window's controls by id, as its parts ask for them, and the
// session's events turned into lines and message boxes before (and, for an
// outcome's message, after) the window's listeners hear of them.
class CPLSM_UpdateDlg::Controls : public IFirmwareDisplay,
                                  public IPortButtons,
                                  public ISessionDisplay,
                                  public SessionEventFanOut {
  public:
    explicit Controls(CPLSM_UpdateDlg& dialog) : dialog_(dialog) {}

    // IFirmwareDisplay.
    void ShowFirmwareVersion(std::string_view line) override;
    void ShowFirmwareFile(std::string_view line) override;
    void DisableUpdate() override;
    void RefuseUpdate(std::string_view text, std::string_view caption, MessageIcon icon) override;
    void Note(std::string_view line) override;

    // IPortButtons.
    void ShowPortButton(std::size_t slot, std::string_view caption) override;
    void HidePortButton(std::size_t slot) override;
    void EnablePortButton(std::size_t slot, bool enable) override;
    void SetPortTooltip(std::size_t slot, std::string_view text) override;
    void CheckPortButton(std::optional<std::size_t> slot) override;
    std::optional<std::size_t> CheckedPortButton() const override;
    void EnableUpdate(bool enable) override;
    void PortsListed() override;

    // ISessionDisplay.
    void SetSessionLine(SessionLine line, std::string_view text) override;
    void BlinkStatusLine(std::string_view text) override;
    void ShowCancelButton(bool cancel) override;
    void LockForSession() override;
    void UnlockAfterSession() override;
    void LockForTransfer() override;
    void UnlockAfterTransfer() override;
    void PostModuleAnswered() override;
    void PostCancelUpdate() override;

    // The events the window shows, passed on to its listeners; every other
    // event goes to them as it is.
    void OnArmed(int comNumber, const std::string& devicePath) override;
    void OnModuleAnswered(std::string_view identification) override;
    void OnPageSending(std::uint64_t page, std::uint64_t pageCount) override;
    void OnInputDiscarded(std::uint64_t page, std::span<const std::uint8_t> bytes) override;
    void OnOutcome(const SessionOutcome& outcome) override;
    void OnSessionEnded(SessionResult result) override;

  private:
    IWindowServices& Window() { return dialog_.window_; }
    void EnableSessionControls(bool enable);
    void EnableWindowMenu(bool enable);
    // The waiting prompt is over: the module answered or the session ended.
    void ClearWaitingPrompt();

    CPLSM_UpdateDlg& dialog_;
};

}  // namespace vorenta
