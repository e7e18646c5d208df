#pragma once

#include <string_view>

namespace vorenta {

// The lines of the update window that follow a session.
enum class SessionLine { BootLoader, Progress, Status, Step };

// What an update session changes in its window besides what its events show.
class ISessionDisplay {
  public:
    virtual ~ISessionDisplay() = default;
    virtual void SetSessionLine(SessionLine line, std::string_view text) = 0;
    // The status line's prompt shown or hidden while the module is polled:
    // the operator sees every blink, the session's log only the prompt's first
    // showing.
    virtual void BlinkStatusLine(std::string_view text) = 0;
    // The start button's caption: "Cancel Update" while a session is armed,
    // "Begin Update" otherwise.
    virtual void ShowCancelButton(bool cancel) = 0;
    // While armed, "Done", "Contact Information" and "Refresh Serial Ports"
    // are disabled and the window menu's Close and About items greyed.
    virtual void LockForSession() = 0;
    virtual void UnlockAfterSession() = 0;
    // While the transfer runs the start button is disabled too.
    virtual void LockForTransfer() = 0;
    // "Begin Update" again, and everything enabled.
    virtual void UnlockAfterTransfer() = 0;
    // Queued for the window, handled before its next timer tick.
    virtual void PostModuleAnswered() = 0;
    virtual void PostCancelUpdate() = 0;
};

}  // namespace vorenta
