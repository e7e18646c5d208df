#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowServices.h"

namespace vorenta {

// Window services without a display: every control's state by id, every
// message box, its own message queue and timer. Posted messages always run
// before the next timer tick, as in a real dialog's message loop. Tests use it
// as it is; the console updater shows message boxes and progress on top of it.
class HeadlessWindowHost : public IWindowServices {
  public:
    struct Control {
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        std::string tooltip;
    };
    struct Box {
        std::string text;
        std::string caption;
        MessageIcon icon = MessageIcon::None;
    };

    void Attach(IWindowHandler* handler) { handler_ = handler; }

    // Test drivers. Click and SysCommand act only on enabled items, like a user.
    bool Click(int id);
    bool SysCommand(unsigned commandId);
    void RunPostedMessages();
    // One period of every running timer: posted messages first, then the tick.
    void TimerTick();

    const Control& ControlAt(int id) const;
    std::string Text(int id) const { return GetDlgItemText(id); }
    bool Enabled(int id) const { return IsDlgItemEnabled(id); }
    bool Visible(int id) const { return ControlAt(id).visible; }
    bool SystemMenuItemEnabled(unsigned commandId) const;

    // IWindowServices.
    void SetWindowTitle(std::string_view title) override { title_ = title; }
    void SetDlgItemText(int id, std::string_view text) override;
    std::string GetDlgItemText(int id) const override;
    void EnableDlgItem(int id, bool enable) override;
    bool IsDlgItemEnabled(int id) const override;
    void ShowDlgItem(int id, bool show) override;
    void SetDlgItemTooltip(int id, std::string_view text) override;
    void CheckRadioButton(int firstId, int lastId, int checkId) override;
    int GetCheckedRadioButton(int firstId, int lastId) const override;
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    void PostMessage(unsigned message) override { queue_.push_back(message); }
    void PumpOneMessage() override;
    void RepaintNow() override { ++repaints; }
    void RefreshColours() override { ++colourRefreshes; }
    void BeginWaitCursor() override { ++waitCursorDepth; }
    void EndWaitCursor() override { --waitCursorDepth; }
    unsigned SetTimer(unsigned timerId, unsigned periodMs) override;
    void KillTimer(unsigned timerId) override { timers.erase(timerId); }
    bool HasSystemMenu() const override { return hasSystemMenu; }
    void AppendSystemMenuSeparator() override { systemMenu.push_back({0, "", true}); }
    void AppendSystemMenuItem(unsigned commandId, std::string_view text) override;
    void EnableSystemMenuItem(unsigned commandId, bool enable) override;
    WindowRect GetWindowRect() const override { return windowRect; }
    WindowRect GetScreenRect() const override { return screenRect; }
    void MoveWindow(int left, int top) override;
    void ShowAboutDialog() override { ++aboutDialogsShown; }
    void EndDialog(int result) override { endResult = result; }
    void Log(std::string_view line) override { logLines.emplace_back(line); }

    const std::string& Title() const { return title_; }
    std::size_t PendingMessages() const { return queue_.size(); }

    struct MenuItem {
        unsigned commandId = 0;  // 0: separator
        std::string text;
        bool enabled = true;
    };

    std::vector<Box> messageBoxes;
    // Runs while a message box is "open", as the operator would look at it.
    std::function<void(const Box&)> onMessageBox;
    std::map<unsigned, unsigned> timers;  // id -> period
    std::vector<MenuItem> systemMenu;
    bool hasSystemMenu = true;
    // Items the window menu has before the logic appends its own.
    std::map<unsigned, bool> systemCommandsEnabled{{0xF060, true}};
    WindowRect windowRect{0, 0, 1000, 700};
    WindowRect screenRect{0, 0, 1920, 1080};
    int repaints = 0;
    int paintsDispatched = 0;
    int colourRefreshes = 0;
    int waitCursorDepth = 0;
    int aboutDialogsShown = 0;
    std::optional<int> endResult;
    std::vector<std::string> logLines;

  private:
    void Dispatch(unsigned message);
    Control& At(int id) { return controls_[id]; }

    IWindowHandler* handler_ = nullptr;
    std::map<int, Control> controls_;
    std::deque<unsigned> queue_;
    std::string title_;
};

}  // namespace vorenta
