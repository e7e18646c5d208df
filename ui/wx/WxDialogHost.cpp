#include "ui/wx/WxDialogHost.h"

#include <wx/brush.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/hyperlink.h>
#include <wx/pen.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "ui/AboutDlg.h"
#include "ui/UpdateDlgIds.h"
#include "ui/wx/WxMessageBox.h"
#include "ui/wx/WxText.h"

namespace vorenta::wxui {

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The work area of the screen a window opens on.
wxRect WorkAreaFor(const wxWindow* window) {
    int index = window == nullptr ? wxNOT_FOUND : wxDisplay::GetFromWindow(window);
    if (index == wxNOT_FOUND) {
        index = 0;
    }
    return wxDisplay(static_cast<unsigned>(index)).GetClientArea();
}

}  // namespace

WxDialogHost::WxDialogHost(wxWindow* parent, const DialogTemplate& dialogTemplate,
                           const wxIconBundle& icons)
    : template_(dialogTemplate) {
    long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
    if (dialogTemplate.minimiseBox) {
        style |= wxMINIMIZE_BOX;
    }
    if (parent == nullptr) {
        style |= wxDIALOG_NO_PARENT;
    }
    Create(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, style);
    SetIcons(icons);

    fonts_ = ChooseDialogFonts(*this, dialogTemplate, WorkAreaFor(parent));
    SetClientSize(ConvertDialogToPixels(wxSize(dialogTemplate.width, dialogTemplate.height)));
    WxControlBuilder builder(*this, dialogTemplate);
    builder.Build();
    controls_ = std::move(builder.Controls());
    noneOfGroup_ = std::move(builder.NoneOfGroup());
    colours_ = std::make_unique<WxColourRule>(fonts_, GetBackgroundColour(),
                                              wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    BindLinks();

    Bind(wxEVT_BUTTON, &WxDialogHost::OnButton, this);
    Bind(wxEVT_RADIOBUTTON, &WxDialogHost::OnRadio, this);
    Bind(wxEVT_CHAR_HOOK, &WxDialogHost::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &WxDialogHost::OnClose, this);
    Bind(wxEVT_TIMER, &WxDialogHost::OnWxTimer, this);
    // Each control's own focus event: it belongs to the toolkit's category, so
    // the discarding of type-ahead before a message box never drops it.
    for (const auto& [id, control] : controls_) {
        wxWindow* window = control.window;
        window->Bind(wxEVT_SET_FOCUS, [this, window](wxFocusEvent& event) {
            event.Skip();
            ShowFocusRing(window);
        });
    }
    Bind(wxEVT_PAINT, &WxDialogHost::OnPaint, this);
    // The logic decides what a link opens; the control must not open it too.
    Bind(wxEVT_HYPERLINK, [](wxHyperlinkEvent&) {});
}

WxDialogHost::~WxDialogHost() {
    for (auto& [id, timer] : timers_) {
        timer->Stop();
    }
    // Not through the virtual EndWaitCursor: this object is no longer whole here.
    while (busyDepth_ > 0) {
        --busyDepth_;
        wxEndBusyCursor();
    }
}

void WxDialogHost::Attach(IWindowHandler& handler, DialogCallbacks callbacks) {
    handler_ = &handler;
    callbacks_ = std::move(callbacks);
}

int WxDialogHost::RunModal() {
    const int result = ShowUntilEnded();
    if (callbacks_.destroy) {
        callbacks_.destroy();
    }
    return result;
}

int WxDialogHost::ShowUntilEnded() {
    if (callbacks_.initDialog) {
        callbacks_.initDialog();
    }
    RefreshColours();
    if (endedBeforeShow_) {
        return *endedBeforeShow_;
    }
    for (auto& [id, control] : controls_) {
        if (control.tmpl->kind == ControlKind::DefaultPushButton) {
            static_cast<wxButton*>(control.window)->SetDefault();
        }
    }
    // Like a dialog whose initialisation returned true: the focus starts on the
    // first control of the template that takes it ("Done", or "OK"), before
    // the first key can arrive.
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        event.Skip();
        FocusFirstControl();
    });
    return ShowModal();
}

namespace {

// The ring's distance from its control and its line width, in pixels.
constexpr int kFocusRingOffset = 3;
constexpr int kFocusRingWidth = 2;

wxRect FocusRingRect(const wxWindow& control) {
    return control.GetRect().Inflate(kFocusRingOffset);
}

}  // namespace

void WxDialogHost::ShowFocusRing(wxWindow* focused) {
    // Push buttons and radio buttons: the controls a key acts on.
    wxWindow* ring = nullptr;
    for (const auto& [id, control] : controls_) {
        const ControlKind kind = control.tmpl->kind;
        if (control.window == focused &&
            (kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton ||
             kind == ControlKind::RadioButton)) {
            ring = focused;
        }
    }
    if (ring == focusRing_) {
        return;
    }
    if (focusRing_ != nullptr) {
        RefreshRect(FocusRingRect(*focusRing_).Inflate(kFocusRingWidth));
    }
    focusRing_ = ring;
    if (focusRing_ != nullptr) {
        RefreshRect(FocusRingRect(*focusRing_).Inflate(kFocusRingWidth));
    }
}

void WxDialogHost::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    // The toolkit marks the focus only after the first key, and faintly; the
    // dialog draws a ring of its own around the focused control from the start.
    if (focusRing_ == nullptr || !focusRing_->IsShown() || !focusRing_->IsEnabled()) {
        return;
    }
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT), kFocusRingWidth));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRoundedRectangle(FocusRingRect(*focusRing_), kFocusRingOffset);
}

void WxDialogHost::FocusFirstControl() {
    for (const ControlTemplate& c : template_.controls) {
        const Control* control = Find(c.id);
        const bool focusable = c.kind == ControlKind::PushButton ||
                               c.kind == ControlKind::DefaultPushButton ||
                               c.kind == ControlKind::RadioButton;
        if (control != nullptr && focusable && control->window->IsShown() &&
            control->window->IsEnabled()) {
            control->window->SetFocus();
            ShowFocusRing(control->window);
            return;
        }
    }
}

wxWindow* WxDialogHost::ControlWindow(int id) const {
    const Control* c = Find(id);
    return c == nullptr ? nullptr : c->window;
}

void WxDialogHost::BindLinks() {
    for (auto& [id, control] : controls_) {
        if (control.tmpl->kind != ControlKind::LinkText) {
            continue;
        }
        auto* link = static_cast<wxGenericHyperlinkCtrl*>(control.window);
        const wxColour colour = colours_->LinkColour();
        link->SetNormalColour(colour);
        link->SetVisitedColour(colour);
        link->SetHoverColour(colour);
        const int linkId = id;
        link->Bind(wxEVT_LEFT_DOWN,
                   [this, linkId](wxMouseEvent& e) { OnLinkMouse(linkId, wm::LButtonDown, e); });
        link->Bind(wxEVT_LEFT_UP,
                   [this, linkId](wxMouseEvent& e) { OnLinkMouse(linkId, wm::LButtonUp, e); });
        link->Bind(wxEVT_MOTION,
                   [this, linkId](wxMouseEvent& e) { OnLinkMouse(linkId, wm::MouseMove, e); });
        link->Bind(wxEVT_RIGHT_DOWN,
                   [this, linkId](wxMouseEvent& e) { OnLinkMouse(linkId, wm::RButtonDown, e); });
        link->Bind(wxEVT_SET_FOCUS, [this, linkId](wxFocusEvent& e) { OnLinkFocus(linkId, e); });
    }
}

WxDialogHost::Control* WxDialogHost::Find(int id) {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const WxDialogHost::Control* WxDialogHost::Find(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

void WxDialogHost::RefreshColours() {
    if (!callbacks_.controlStyle) {
        return;
    }
    for (auto& [id, control] : controls_) {
        if (IsStatic(control.tmpl->kind)) {
            colours_->Apply(control, callbacks_.controlStyle(id));
        }
    }
}

void WxDialogHost::SetWindowTitle(std::string_view title) {
    SetTitle(ToWx(title));
}

void WxDialogHost::SetDlgItemText(int id, std::string_view text) {
    if (Control* c = Find(id)) {
        SetControlText(*c, text);
    }
}

std::string WxDialogHost::GetDlgItemText(int id) const {
    const Control* c = Find(id);
    return c == nullptr ? std::string() : c->text;
}

void WxDialogHost::EnableDlgItem(int id, bool enable) {
    Control* c = Find(id);
    if (c == nullptr) {
        return;
    }
    const bool hadFocus = FindFocus() == c->window;
    c->window->Enable(enable);
    if (c->window == focusRing_) {
        RefreshRect(FocusRingRect(*focusRing_).Inflate(kFocusRingWidth));
    }
    if (!enable && hadFocus) {
        // The toolkit drops the focus with the control; without a focused
        // control the dialog would hear neither Esc nor Tab any more.
        focusLostBy_ = id;
    } else if (enable && focusLostBy_ == id) {
        focusLostBy_.reset();
        wxWindow* focus = FindFocus();
        if (focus == nullptr || focus == this || wxGetTopLevelParent(focus) != this) {
            c->window->SetFocus();
        }
    }
}

bool WxDialogHost::IsDlgItemEnabled(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->window->IsThisEnabled();
}

void WxDialogHost::ShowDlgItem(int id, bool show) {
    if (Control* c = Find(id)) {
        c->window->Show(show);
    }
}

void WxDialogHost::SetDlgItemTooltip(int id, std::string_view text) {
    if (Control* c = Find(id)) {
        c->tooltipFromLogic = !text.empty();
        if (text.empty()) {
            c->window->UnsetToolTip();
        } else {
            c->window->SetToolTip(ToWx(text));
        }
    }
}

void WxDialogHost::CheckRadioButton(int firstId, int lastId, int checkId) {
    bool checked = false;
    for (int id = firstId; id <= lastId; ++id) {
        Control* c = Find(id);
        if (c != nullptr && c->tmpl->kind == ControlKind::RadioButton && id == checkId) {
            static_cast<wxRadioButton*>(c->window)->SetValue(true);
            checked = true;
        }
    }
    if (!checked) {
        // Check the group's hidden member, which unchecks every visible one.
        const auto none = noneOfGroup_.find(firstId);
        if (none != noneOfGroup_.end()) {
            none->second->SetValue(true);
        }
    }
}

int WxDialogHost::GetCheckedRadioButton(int firstId, int lastId) const {
    for (int id = firstId; id <= lastId; ++id) {
        const Control* c = Find(id);
        if (c != nullptr && c->tmpl->kind == ControlKind::RadioButton &&
            static_cast<const wxRadioButton*>(c->window)->GetValue()) {
            return id;
        }
    }
    return 0;
}

void WxDialogHost::MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    // Only what the operator does once the box is up may close it.
    Hold(true);
    DiscardPendingInput();
    Hold(false);
    ShowMessageBox(IsShown() ? this : nullptr, ToWx(text), ToWx(caption), icon);
}

void WxDialogHost::Hold(bool hold) {
    holding_ = hold;
    if (!hold) {
        for (; heldDeliveries_ > 0; --heldDeliveries_) {
            CallAfter(&WxDialogHost::DeliverPosted);
        }
    }
}

void WxDialogHost::PostMessage(unsigned message) {
    posted_.push_back(message);
    CallAfter(&WxDialogHost::DeliverPosted);
}

void WxDialogHost::DeliverPosted() {
    if (holding_) {
        ++heldDeliveries_;
        return;
    }
    if (posted_.empty()) {
        return;  // already delivered ahead of a timer tick or by PumpOneMessage
    }
    const unsigned message = posted_.front();
    posted_.pop_front();
    if (message == wm::Paint) {
        // A posted paint redraws what is invalid, such as the progress line.
        PaintNow();
        return;
    }
    if (handler_ != nullptr) {
        handler_->OnPostedMessage(message);
    }
}

void WxDialogHost::DeliverAllPosted() {
    while (!posted_.empty()) {
        DeliverPosted();
    }
}

void WxDialogHost::PumpOneMessage() {
    // Posted messages come before input, paint and timer, as on the platform
    // the logic was written for.
    if (!posted_.empty()) {
        DeliverPosted();
        return;
    }
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (loop != nullptr && loop->Pending()) {
        loop->Dispatch();
    }
}

void WxDialogHost::RepaintNow() {
    Refresh(false);
    PaintNow();
}

void WxDialogHost::PaintNow() {
    // The toolkit restyles a control whose state changed (a disabled button
    // turns grey) only in its own drawing cycle; without this a button
    // disabled at the start of a transfer would look enabled until its end.
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (loop != nullptr && !loop->IsYielding()) {
        Hold(true);
        loop->YieldFor(wxEVT_CATEGORY_UI);
        Hold(false);
    }
    Update();
}

void WxDialogHost::BeginWaitCursor() {
    ++busyDepth_;
    wxBeginBusyCursor();
}

void WxDialogHost::EndWaitCursor() {
    if (busyDepth_ > 0) {
        --busyDepth_;
        wxEndBusyCursor();
    }
}

unsigned WxDialogHost::SetTimer(unsigned timerId, unsigned periodMs) {
    if (timerId == 0) {
        return 0;
    }
    auto& timer = timers_[timerId];
    if (!timer) {
        timer = std::make_unique<wxTimer>(this, static_cast<int>(timerId));
    }
    return timer->Start(static_cast<int>(periodMs)) ? timerId : 0;
}

void WxDialogHost::KillTimer(unsigned timerId) {
    const auto it = timers_.find(timerId);
    if (it != timers_.end()) {
        it->second->Stop();
    }
}

void WxDialogHost::OnWxTimer(wxTimerEvent& event) {
    if (holding_) {
        return;  // the handler that runs now is not to be interrupted by a tick
    }
    // A tick never overtakes a posted message.
    DeliverAllPosted();
    if (handler_ != nullptr) {
        handler_->OnTimer(static_cast<unsigned>(event.GetId()));
    }
}

// GTK gives a dialog no window menu: Close is the close box and About stays
// reachable through "Contact Information".
bool WxDialogHost::HasSystemMenu() const {
    return false;
}

void WxDialogHost::AppendSystemMenuSeparator() {}

void WxDialogHost::AppendSystemMenuItem(unsigned /*commandId*/, std::string_view /*text*/) {}

void WxDialogHost::EnableSystemMenuItem(unsigned commandId, bool enable) {
    if (enable) {
        greyedMenuItems_.erase(commandId);
    } else {
        greyedMenuItems_.insert(commandId);
    }
}

WindowRect WxDialogHost::GetWindowRect() const {
    const wxRect r = GetRect();
    return WindowRect{r.GetX(), r.GetY(), r.GetWidth(), r.GetHeight()};
}

WindowRect WxDialogHost::GetScreenRect() const {
    const wxSize size = wxGetDisplaySize();
    return WindowRect{0, 0, size.GetWidth(), size.GetHeight()};
}

void WxDialogHost::MoveWindow(int left, int top) {
    // The title bar stays on the work area, so the window can always be moved
    // and its buttons reached; a window that fits stays wholly inside.
    const wxRect area = WorkAreaFor(this);
    const wxSize size = GetSize();
    left = std::clamp(left, area.GetLeft(),
                      std::max(area.GetLeft(), area.GetRight() + 1 - size.GetWidth()));
    top = std::clamp(top, area.GetTop(),
                     std::max(area.GetTop(), area.GetBottom() + 1 - size.GetHeight()));
    // -1 is a real position here, not "keep the current one".
    Move(left, top, wxSIZE_USE_EXISTING | wxSIZE_ALLOW_MINUS_ONE);
}

void WxDialogHost::ShowAboutDialog() {
    if (callbacks_.showAbout) {
        callbacks_.showAbout();
    }
}

void WxDialogHost::EndDialog(int result) {
    if (IsModal()) {
        EndModal(result);
    } else {
        endedBeforeShow_ = result;
    }
}

void WxDialogHost::Log(std::string_view line) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

void WxDialogHost::OnButton(wxCommandEvent& event) {
    if (handler_ != nullptr) {
        handler_->OnCommand(event.GetId());
    }
}

void WxDialogHost::OnRadio(wxCommandEvent& event) {
    if (handler_ != nullptr) {
        handler_->OnCommand(event.GetId());
    }
}

bool WxDialogHost::ClosingLocked() const {
    const Control* done = Find(kIdCancel);
    const bool doneDisabled = done != nullptr && !done->window->IsThisEnabled();
    return doneDisabled || greyedMenuItems_.count(ids::kSysCommandClose) != 0;
}

void WxDialogHost::RequestClose() {
    if (!ClosingLocked() && handler_ != nullptr) {
        handler_->OnCommand(kIdCancel);
    }
}

void WxDialogHost::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
        RequestClose();
        return;
    }
    if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
        // A focused push button is pressed by the toolkit itself; anywhere
        // else Enter is the OK command, which the window may ignore.
        // With the focus not (yet) known to the toolkit's wrapper, the native
        // widget that has it decides, as it does for a button.
        wxWindow* focus = FindFocus();
        if (focus == nullptr || wxDynamicCast(focus, wxButton) != nullptr) {
            event.Skip();
        } else if (handler_ != nullptr) {
            handler_->OnCommand(kIdOk);
        }
        return;
    }
    event.Skip();
}

void WxDialogHost::OnClose(wxCloseEvent& event) {
    if (event.CanVeto()) {
        // The cancel command ends the dialog itself when it agrees to.
        event.Veto();
        RequestClose();
        return;
    }
    if (handler_ != nullptr) {
        handler_->OnCommand(kIdCancel);
    }
    if (IsModal()) {
        EndModal(kIdCancel);
    }
}

void WxDialogHost::OnLinkMouse(int id, unsigned message, wxMouseEvent& event) {
    event.Skip();
    if (callbacks_.linkMouse) {
        callbacks_.linkMouse(id, message, GetDlgItemText(id));
    }
}

void WxDialogHost::OnLinkFocus(int id, wxFocusEvent& event) {
    event.Skip();
    if (!callbacks_.linkFocus) {
        return;
    }
    // Moved once the toolkit has finished giving the focus to the link.
    const int target = callbacks_.linkFocus(id);
    CallAfter([this, target] {
        if (Control* c = Find(target)) {
            c->window->SetFocus();
        }
    });
}

}  // namespace vorenta::wxui
