#pragma once

#include <wx/dialog.h>
#include <wx/font.h>
#include <wx/iconbndl.h>
#include <wx/timer.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "platform/WindowServices.h"
#include "ui/DialogHost.h"
#include "ui/DialogTemplate.h"
#include "ui/wx/WxColourRule.h"
#include "ui/wx/WxControls.h"

class wxRadioButton;

namespace vorenta::wxui {

// A modal dialog built from a template table, serving IWindowServices to the
// dialog's logic and routing the toolkit's events and its own posted
// messages to its IWindowHandler. Building the controls, the colour rule and
// the message boxes live beside it (WxControls, WxColourRule, WxMessageBox).
class WxDialogHost : public wxDialog, public IDialogHost {
  public:
    WxDialogHost(wxWindow* parent, const DialogTemplate& dialogTemplate, const wxIconBundle& icons);
    ~WxDialogHost() override;
    WxDialogHost(const WxDialogHost&) = delete;
    WxDialogHost& operator=(const WxDialogHost&) = delete;

    // IDialogHost. The teardown runs once the modal loop has ended.
    void Attach(IWindowHandler& handler, DialogCallbacks callbacks) override;
    int RunModal() override;

    // The toolkit window of a control, for tests and tooling; null when unknown.
    wxWindow* ControlWindow(int id) const;
    // The control the focus ring is drawn around; null: none.
    wxWindow* FocusRingControl() const { return focusRing_; }
    // The fonts chosen for the screen the dialog opens on.
    const DialogFonts& Fonts() const { return fonts_; }

    // IWindowServices.
    void SetWindowTitle(std::string_view title) override;
    void SetDlgItemText(int id, std::string_view text) override;
    std::string GetDlgItemText(int id) const override;
    void EnableDlgItem(int id, bool enable) override;
    bool IsDlgItemEnabled(int id) const override;
    void ShowDlgItem(int id, bool show) override;
    void SetDlgItemTooltip(int id, std::string_view text) override;
    void CheckRadioButton(int firstId, int lastId, int checkId) override;
    int GetCheckedRadioButton(int firstId, int lastId) const override;
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    void PostMessage(unsigned message) override;
    void PumpOneMessage() override;
    void RepaintNow() override;
    void RefreshColours() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    unsigned SetTimer(unsigned timerId, unsigned periodMs) override;
    void KillTimer(unsigned timerId) override;
    bool HasSystemMenu() const override;
    void AppendSystemMenuSeparator() override;
    void AppendSystemMenuItem(unsigned commandId, std::string_view text) override;
    void EnableSystemMenuItem(unsigned commandId, bool enable) override;
    WindowRect GetWindowRect() const override;
    WindowRect GetScreenRect() const override;
    void MoveWindow(int left, int top) override;
    void ShowAboutDialog() override;
    void EndDialog(int result) override;
    void Log(std::string_view line) override;

  private:
    using Control = WxControl;

    int ShowUntilEnded();
    void FocusFirstControl();
    void BindLinks();
    Control* Find(int id);
    const Control* Find(int id) const;
    // Lets the toolkit bring its looks up to date (enabled states, texts) and
    // paint them, while the handler that asked goes on running: input, timer
    // ticks and posted messages wait.
    void PaintNow();
    void Hold(bool hold);

    void OnButton(wxCommandEvent& event);
    void OnRadio(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnWxTimer(wxTimerEvent& event);
    void OnLinkMouse(int id, unsigned message, wxMouseEvent& event);
    void OnLinkFocus(int id, wxFocusEvent& event);
    void OnPaint(wxPaintEvent& event);
    // The focus ring follows `focused` when it is a push or radio button.
    void ShowFocusRing(wxWindow* focused);

    // Closing (Esc, close box) goes to the cancel command unless the window
    // has locked it: "Done" disabled or the Close item greyed.
    bool ClosingLocked() const;
    void RequestClose();
    void DeliverPosted();
    void DeliverAllPosted();

    const DialogTemplate& template_;
    IWindowHandler* handler_ = nullptr;
    DialogCallbacks callbacks_;
    DialogFonts fonts_;
    std::map<int, Control> controls_;
    // The hidden extra member of each radio group, checked to uncheck the rest.
    std::map<int, wxRadioButton*> noneOfGroup_;
    std::unique_ptr<WxColourRule> colours_;
    std::deque<unsigned> posted_;
    // While the toolkit paints for a running handler, posted messages and
    // ticks are held back; deliveries missed then are asked for again.
    bool holding_ = false;
    int heldDeliveries_ = 0;
    std::map<unsigned, std::unique_ptr<wxTimer>> timers_;
    std::set<unsigned> greyedMenuItems_;
    int busyDepth_ = 0;
    std::optional<int> endedBeforeShow_;
    // The control that had the focus when it was disabled.
    std::optional<int> focusLostBy_;
    // The control the dialog draws its focus ring around; null: none.
    wxWindow* focusRing_ = nullptr;
};

}  // namespace vorenta::wxui
