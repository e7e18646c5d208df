#include "ui/wx/WxDialogHost.h"

#include <wx/button.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/fontenum.h>
#include <wx/hyperlink.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "ui/AboutDlg.h"
#include "ui/UpdateDlgIds.h"
#include "ui/wx/WxImages.h"
#include "ui/wx/WxText.h"

namespace vorenta::wxui {

namespace {

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kEmphasisPointSize = 9;
// Taller than this many dialog units, a static text wraps its words.
constexpr int kOneLineHeight = 12;

// Children are owned by their parent window, which destroys them with itself.
template <class T, class... Args>
T* MakeChild(Args&&... args) {
    return new T(std::forward<Args>(args)...);
}

// The first face the system has; empty: the family's default face.
wxString FirstAvailableFace(std::initializer_list<const char*> faces) {
    for (const char* face : faces) {
        if (wxFontEnumerator::IsValidFacename(face)) {
            return face;
        }
    }
    return wxString();
}

wxFont MakeFont(int pointSize, bool bold, std::initializer_list<const char*> faces) {
    wxFontInfo info(pointSize);
    info.Family(wxFONTFAMILY_SWISS);
    if (bold) {
        info.Bold();
    }
    const wxString face = FirstAvailableFace(faces);
    if (!face.empty()) {
        info.FaceName(face);
    }
    return wxFont(info);
}

wxColour FromColorRef(std::uint32_t ref) {
    return wxColour(static_cast<unsigned char>(ref & 0xFFU),
                    static_cast<unsigned char>((ref >> 8) & 0xFFU),
                    static_cast<unsigned char>((ref >> 16) & 0xFFU));
}

bool SameStyle(const ControlStyle& a, const ControlStyle& b) {
    return a.emphasisFont == b.emphasisFont && a.customColour == b.customColour &&
           a.textColour == b.textColour && a.transparentBackground == b.transparentBackground;
}

bool IsStatic(ControlKind k) {
    return k == ControlKind::StaticLeft || k == ControlKind::StaticCentred ||
           k == ControlKind::StaticCentredVertically;
}

// A link that the keyboard never reaches; clicks are routed by the host.
class LinkText : public wxGenericHyperlinkCtrl {
  public:
    using wxGenericHyperlinkCtrl::wxGenericHyperlinkCtrl;
    bool AcceptsFocusFromKeyboard() const override { return false; }
};

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

    // "MS Shell Dlg" and "Microsoft Sans Serif" exist on few Linux systems:
    // the nearest sans-serif faces stand in, so dialog units keep their sense.
    dialogFont_ = MakeFont(
        dialogTemplate.fontPointSize, false,
        {"MS Shell Dlg", "Microsoft Sans Serif", "Tahoma", "Liberation Sans", "DejaVu Sans"});
    emphasisFont_ = MakeFont(kEmphasisPointSize, true,
                             {"Microsoft Sans Serif", "Arial", "Liberation Sans", "DejaVu Sans"});
    SetFont(dialogFont_);
    defaultText_ = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);

    SetClientSize(ConvertDialogToPixels(wxSize(dialogTemplate.width, dialogTemplate.height)));
    CreateControls();

    Bind(wxEVT_BUTTON, &WxDialogHost::OnButton, this);
    Bind(wxEVT_RADIOBUTTON, &WxDialogHost::OnRadio, this);
    Bind(wxEVT_CHAR_HOOK, &WxDialogHost::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &WxDialogHost::OnClose, this);
    Bind(wxEVT_TIMER, &WxDialogHost::OnWxTimer, this);
    // The logic decides what a link opens; the control must not open it too.
    Bind(wxEVT_HYPERLINK, [](wxHyperlinkEvent&) {});
}

WxDialogHost::~WxDialogHost() {
    for (auto& [id, timer] : timers_) {
        timer->Stop();
    }
    while (busyDepth_ > 0) {
        EndWaitCursor();
    }
}

void WxDialogHost::Attach(IWindowHandler& handler, DialogCallbacks callbacks) {
    handler_ = &handler;
    callbacks_ = std::move(callbacks);
}

int WxDialogHost::RunModal() {
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
    // first control of the template that takes it ("Done", or "OK").
    CallAfter(&WxDialogHost::FocusFirstControl);
    return ShowModal();
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
            return;
        }
    }
}

wxWindow* WxDialogHost::ControlWindow(int id) const {
    const Control* c = Find(id);
    return c == nullptr ? nullptr : c->window;
}

wxRect WxDialogHost::ToPixels(const ControlTemplate& c) const {
    return wxRect(ConvertDialogToPixels(wxPoint(c.x, c.y)),
                  ConvertDialogToPixels(wxSize(c.width, c.height)));
}

void WxDialogHost::CreateControls() {
    const auto& list = template_.controls;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const ControlTemplate& c = list[i];
        CreateControl(c);
        // Closing a radio group: a hidden member lets the logic uncheck all
        // (the toolkit keeps one button of a group checked).
        const bool groupEnds = i + 1 == list.size() ||
                               list[i + 1].kind != ControlKind::RadioButton ||
                               list[i + 1].groupStart;
        if (c.kind == ControlKind::RadioButton && groupEnds) {
            auto* none = MakeChild<wxRadioButton>(this, wxID_ANY, wxString());
            none->Hide();
            none->SetValue(true);
            for (std::size_t j = i + 1; j-- > 0;) {
                if (list[j].kind != ControlKind::RadioButton) {
                    break;
                }
                noneOfGroup_[list[j].id] = none;
                if (list[j].groupStart) {
                    break;
                }
            }
        }
    }
}

void WxDialogHost::CreateControl(const ControlTemplate& c) {
    const wxRect r = ToPixels(c);
    const wxWindowID wid = c.id == kNoControlId ? wxID_ANY : c.id;
    Control control;
    control.tmpl = &c;
    control.rect = r;
    switch (c.kind) {
        case ControlKind::StaticLeft:
        case ControlKind::StaticCentred:
        case ControlKind::StaticCentredVertically: {
            long style = wxST_NO_AUTORESIZE;
            // Only the centred kind centres across; the label beside the logo is
            // centred up and down and starts at its left edge.
            style |=
                c.kind == ControlKind::StaticCentred ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
            control.window =
                MakeChild<wxStaticText>(this, wid, wxString(), r.GetPosition(), r.GetSize(), style);
            break;
        }
        case ControlKind::GroupBox:
            control.window =
                MakeChild<wxStaticBox>(this, wid, wxString(), r.GetPosition(), r.GetSize());
            break;
        case ControlKind::RadioButton: {
            auto* radio = MakeChild<wxRadioButton>(this, wid, wxString(), r.GetPosition(),
                                                   r.GetSize(), c.groupStart ? wxRB_GROUP : 0);
            // Themes may draw the indicator taller than the template's row:
            // grow about the row's middle rather than squeeze it.
            const int needed = radio->GetBestSize().GetHeight();
            if (needed > r.GetHeight()) {
                control.rect =
                    wxRect(r.GetX(), r.GetY() - (needed - r.GetHeight()) / 2, r.GetWidth(), needed);
                radio->SetSize(control.rect);
            }
            control.window = radio;
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            control.window =
                MakeChild<wxButton>(this, wid, wxString(), r.GetPosition(), r.GetSize());
            break;
        case ControlKind::Picture: {
            // A picture control takes the size of its bitmap.
            const wxBitmap logo = MakeLogo();
            control.rect.SetSize(logo.GetSize());
            control.window = MakeChild<wxStaticBitmap>(this, wid, logo, r.GetPosition());
            break;
        }
        case ControlKind::Icon: {
            const wxIcon icon = MakeAppIcon();
            control.rect.SetSize(wxSize(icon.GetWidth(), icon.GetHeight()));
            control.window = MakeChild<wxStaticBitmap>(this, wid, icon, r.GetPosition());
            break;
        }
        case ControlKind::LinkText: {
            // The control needs some text at creation; the logic sets the real one.
            auto* link =
                MakeChild<LinkText>(this, wid, wxString(" "), wxString(" "), r.GetPosition(),
                                    r.GetSize(), wxHL_ALIGN_LEFT | wxNO_BORDER);
            const int id = c.id;
            link->Bind(wxEVT_LEFT_DOWN,
                       [this, id](wxMouseEvent& e) { OnLinkMouse(id, wm::LButtonDown, e); });
            link->Bind(wxEVT_LEFT_UP,
                       [this, id](wxMouseEvent& e) { OnLinkMouse(id, wm::LButtonUp, e); });
            link->Bind(wxEVT_MOTION,
                       [this, id](wxMouseEvent& e) { OnLinkMouse(id, wm::MouseMove, e); });
            link->Bind(wxEVT_RIGHT_DOWN,
                       [this, id](wxMouseEvent& e) { OnLinkMouse(id, wm::RButtonDown, e); });
            link->Bind(wxEVT_SET_FOCUS, [this, id](wxFocusEvent& e) { OnLinkFocus(id, e); });
            control.window = link;
            break;
        }
    }
    if (c.id == kNoControlId) {
        // Never addressed: the text is set once and the control is left alone.
        SetControlText(control, c.text);
        return;
    }
    auto [it, inserted] = controls_.emplace(c.id, std::move(control));
    if (inserted) {
        SetControlText(it->second, c.text);
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

void WxDialogHost::SetControlText(Control& control, std::string_view text) {
    control.text = std::string(text);
    const wxString label = ToWx(text);
    const ControlKind kind = control.tmpl->kind;
    if (kind == ControlKind::LinkText) {
        auto* link = static_cast<wxGenericHyperlinkCtrl*>(control.window);
        link->SetLabel(label.empty() ? wxString(" ") : label);
        link->SetURL(label.empty() ? wxString(" ") : label);
        link->Refresh();
        return;
    }
    if (kind == ControlKind::Picture || kind == ControlKind::Icon) {
        return;
    }
    // SetLabelText: an ampersand shows as itself, never as a mnemonic.
    if (auto* labelled = wxDynamicCast(control.window, wxControl)) {
        labelled->SetLabelText(label);
    }
    if (IsStatic(kind)) {
        if (control.tmpl->height > kOneLineHeight) {
            static_cast<wxStaticText*>(control.window)->Wrap(control.rect.GetWidth());
        }
        if (kind == ControlKind::StaticCentredVertically) {
            LayoutCentredVertically(control);
        }
    }
}

void WxDialogHost::LayoutCentredVertically(Control& control) {
    // The control keeps its template size, so measure the text itself in the
    // font it is drawn with.
    const auto* label = static_cast<wxStaticText*>(control.window);
    const int textHeight = label->GetTextExtent(label->GetLabelText()).GetHeight();
    const wxRect& r = control.rect;
    const int height = std::min(textHeight, r.GetHeight());
    control.window->SetSize(r.GetX(), r.GetY() + (r.GetHeight() - height) / 2, r.GetWidth(),
                            height);
}

void WxDialogHost::ApplyStyle(Control& control, const ControlStyle& style) {
    if (control.applied && SameStyle(*control.applied, style)) {
        return;
    }
    control.applied = style;
    wxWindow* w = control.window;
    w->SetFont(style.emphasisFont ? emphasisFont_ : dialogFont_);
    w->SetForegroundColour(style.customColour ? FromColorRef(style.textColour) : defaultText_);
    // Static texts draw no background of their own: the emphasised lines sit on
    // the dialog's background either way.
    if (control.tmpl->kind == ControlKind::StaticCentredVertically) {
        LayoutCentredVertically(control);
    }
    w->Refresh();
}

void WxDialogHost::RefreshColours() {
    if (!callbacks_.controlStyle) {
        return;
    }
    for (auto& [id, control] : controls_) {
        if (IsStatic(control.tmpl->kind)) {
            ApplyStyle(control, callbacks_.controlStyle(id));
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
    long style = wxOK | wxCENTRE;
    switch (icon) {
        case MessageIcon::None:
            style |= wxICON_NONE;
            break;
        case MessageIcon::Exclamation:
            style |= wxICON_EXCLAMATION;
            break;
        case MessageIcon::Warning:
            style |= wxICON_WARNING;
            break;
        case MessageIcon::Information:
            style |= wxICON_INFORMATION;
            break;
    }
    wxMessageDialog box(IsShown() ? this : nullptr, ToWx(text), ToWx(caption), style);
    box.ShowModal();
}

void WxDialogHost::PostMessage(unsigned message) {
    posted_.push_back(message);
    CallAfter(&WxDialogHost::DeliverPosted);
}

void WxDialogHost::DeliverPosted() {
    if (posted_.empty()) {
        return;  // already delivered ahead of a timer tick or by PumpOneMessage
    }
    const unsigned message = posted_.front();
    posted_.pop_front();
    if (message == wm::Paint) {
        // A posted paint redraws what is invalid, such as the progress line.
        Update();
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
