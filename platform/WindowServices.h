#pragma once

#include <string>
#include <string_view>

namespace vorenta {

enum class MessageIcon { None, Exclamation, Warning, Information };

// Window messages the logic posts to itself or asks the host to dispatch.
namespace wm {
inline constexpr unsigned Paint = 0x000F;
inline constexpr unsigned Timer = 0x0113;
inline constexpr unsigned User = 0x0400;
}  // namespace wm

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What a window host delivers to the window logic.
class IWindowHandler {
  public:
    virtual ~IWindowHandler() = default;
    virtual void OnCommand(int controlId) = 0;
    virtual void OnSysCommand(unsigned commandId) = 0;
    virtual void OnTimer(unsigned timerId) = 0;
    // A private message posted with IWindowServices::PostMessage.
    virtual void OnPostedMessage(unsigned message) = 0;
    // The system reports serial ports plugged in or pulled out.
    virtual void OnPortsChanged() {}
};

// The controls of one dialog, reached by numeric id, in the style of the
// dialog API the window logic was written against. Implemented by the
// wxWidgets host, the console host and an in-memory host for tests.
class IWindowServices {
  public:
    virtual ~IWindowServices() = default;

    virtual void SetWindowTitle(std::string_view title) = 0;
    virtual void SetDlgItemText(int id, std::string_view text) = 0;
    virtual std::string GetDlgItemText(int id) const = 0;
    virtual void EnableDlgItem(int id, bool enable) = 0;
    virtual bool IsDlgItemEnabled(int id) const = 0;
    virtual void ShowDlgItem(int id, bool show) = 0;
    virtual void SetDlgItemTooltip(int id, std::string_view text) = 0;
    // Checks `checkId` and unchecks the rest of first..last; an id outside
    // the range unchecks them all.
    virtual void CheckRadioButton(int firstId, int lastId, int checkId) = 0;
    // The checked id in first..last, 0 when none is checked.
    virtual int GetCheckedRadioButton(int firstId, int lastId) const = 0;

    // Modal, OK button only; returns when the operator has closed it.
    virtual void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

    // Queued; handled after the current handler returns, before the next tick.
    virtual void PostMessage(unsigned message) = 0;
    // Takes one waiting message (of any kind) and dispatches it.
    virtual void PumpOneMessage() = 0;
    // Invalidates the whole window without erasing and updates it at once.
    virtual void RepaintNow() = 0;
    // The inputs of the colour rule changed (update state, step-line colour).
    virtual void RefreshColours() = 0;

    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    virtual unsigned SetTimer(unsigned timerId, unsigned periodMs) = 0;
    virtual void KillTimer(unsigned timerId) = 0;

    virtual bool HasSystemMenu() const = 0;
    virtual void AppendSystemMenuSeparator() = 0;
    virtual void AppendSystemMenuItem(unsigned commandId, std::string_view text) = 0;
    virtual void EnableSystemMenuItem(unsigned commandId, bool enable) = 0;

    virtual WindowRect GetWindowRect() const = 0;
    virtual WindowRect GetScreenRect() const = 0;
    virtual void MoveWindow(int left, int top) = 0;

    // Runs the About and contact-information dialog modally.
    virtual void ShowAboutDialog() = 0;
    virtual void EndDialog(int result) = 0;
    // A line for the operator's log (device paths, hand-off notices).
    virtual void Log(std::string_view line) = 0;
};

// Keeps the wait cursor up for a scope.
class WaitCursor {
  public:
    explicit WaitCursor(IWindowServices& window) : window_(window) { window_.BeginWaitCursor(); }
    ~WaitCursor() { window_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    IWindowServices& window_;
};

}  // namespace vorenta
