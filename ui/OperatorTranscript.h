#pragma once

#include "platform/WindowServices.h"
#include "update/SessionEvents.h"

namespace vorenta {

// The host's window services as the update window uses them, with what the
// operator is shown passed on to the session's listeners as it happens: the
// window's information lines (when not empty) and the lines of the program's
// log.
class OperatorTranscript : public IWindowServices {
  public:
    OperatorTranscript(IWindowServices& host, ISessionEvents& listeners)
        : host_(host), listeners_(listeners) {}

    void SetWindowTitle(std::string_view title) override { host_.SetWindowTitle(title); }
    void SetDlgItemText(int id, std::string_view text) override;
    std::string GetDlgItemText(int id) const override { return host_.GetDlgItemText(id); }
    void EnableDlgItem(int id, bool enable) override { host_.EnableDlgItem(id, enable); }
    bool IsDlgItemEnabled(int id) const override { return host_.IsDlgItemEnabled(id); }
    void ShowDlgItem(int id, bool show) override { host_.ShowDlgItem(id, show); }
    void SetDlgItemTooltip(int id, std::string_view text) override {
        host_.SetDlgItemTooltip(id, text);
    }
    void CheckRadioButton(int firstId, int lastId, int checkId) override {
        host_.CheckRadioButton(firstId, lastId, checkId);
    }
    int GetCheckedRadioButton(int firstId, int lastId) const override {
        return host_.GetCheckedRadioButton(firstId, lastId);
    }
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override {
        host_.MessageBox(text, caption, icon);
    }
    void PostMessage(unsigned message) override { host_.PostMessage(message); }
    void PumpOneMessage() override { host_.PumpOneMessage(); }
    void RepaintNow() override { host_.RepaintNow(); }
    void RefreshColours() override { host_.RefreshColours(); }
    void BeginWaitCursor() override { host_.BeginWaitCursor(); }
    void EndWaitCursor() override { host_.EndWaitCursor(); }
    unsigned SetTimer(unsigned timerId, unsigned periodMs) override {
        return host_.SetTimer(timerId, periodMs);
    }
    void KillTimer(unsigned timerId) override { host_.KillTimer(timerId); }
    bool HasSystemMenu() const override { return host_.HasSystemMenu(); }
    void AppendSystemMenuSeparator() override { host_.AppendSystemMenuSeparator(); }
    void AppendSystemMenuItem(unsigned commandId, std::string_view text) override {
        host_.AppendSystemMenuItem(commandId, text);
    }
    void EnableSystemMenuItem(unsigned commandId, bool enable) override {
        host_.EnableSystemMenuItem(commandId, enable);
    }
    WindowRect GetWindowRect() const override { return host_.GetWindowRect(); }
    WindowRect GetScreenRect() const override { return host_.GetScreenRect(); }
    void MoveWindow(int left, int top) override { host_.MoveWindow(left, top); }
    void ShowAboutDialog() override { host_.ShowAboutDialog(); }
    void EndDialog(int result) override { host_.EndDialog(result); }
    void Log(std::string_view line) override;

  private:
    IWindowServices& host_;
    ISessionEvents& listeners_;
};

}  // namespace vorenta
