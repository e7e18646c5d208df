#include "ui/wx/WxControls.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/fontenum.h>
#include <wx/hyperlink.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "ui/PictureGap.h"
#include "ui/wx/WxImages.h"
#include "ui/wx/WxText.h"

namespace vorenta::wxui {

namespace {

constexpr double kEmphasisPointSize = 9;
// Below this the texts are no longer comfortable to read: a window that does
// not fit even so keeps this size and its title bar on screen.
constexpr double kSmallestPointSize = 6;
constexpr double kPointSizeStep = 0.25;
// Room for the frame a window manager adds, when the toolkit cannot tell yet.
constexpr int kFrameAllowanceWidth = 8;
constexpr int kFrameAllowanceHeight = 40;
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

wxFont MakeFont(double pointSize, bool bold, std::initializer_list<const char*> faces) {
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

// "MS Shell Dlg" and "Microsoft Sans Serif" exist on few Linux systems: the
// nearest sans-serif faces stand in, so dialog units keep their sense.
wxFont DialogFont(double pointSize) {
    return MakeFont(
        pointSize, false,
        {"MS Shell Dlg", "Microsoft Sans Serif", "Tahoma", "Liberation Sans", "DejaVu Sans"});
}

wxFont EmphasisFont(double pointSize) {
    return MakeFont(pointSize, true,
                    {"Microsoft Sans Serif", "Arial", "Liberation Sans", "DejaVu Sans"});
}

bool IsOneLine(const WxControl& control) {
    return control.tmpl->height <= kOneLineHeight;
}

// A link that the keyboard never reaches; clicks are routed by the host.
class LinkText : public wxGenericHyperlinkCtrl {
  public:
    using wxGenericHyperlinkCtrl::wxGenericHyperlinkCtrl;
    bool AcceptsFocusFromKeyboard() const override { return false; }
};

void LayoutCentredVertically(WxControl& control) {
    // The control keeps its template size, so measure the text itself in the
    // font it is drawn with.
    // Wrapping may have made it more than one line.
    auto* label = static_cast<wxStaticText*>(control.window);
    wxClientDC dc(label);
    dc.SetFont(label->GetFont());
    const int textHeight = dc.GetMultiLineTextExtent(label->GetLabelText()).GetHeight();
    const wxRect& r = control.rect;
    const int height = std::min(textHeight, r.GetHeight());
    control.window->SetSize(r.GetX(), r.GetY() + (r.GetHeight() - height) / 2, r.GetWidth(),
                            height);
}

void ShowCutTextAsTooltip(WxControl& control) {
    if (control.tooltipFromLogic || !IsStatic(control.tmpl->kind) || !IsOneLine(control)) {
        return;
    }
    const auto* label = static_cast<wxStaticText*>(control.window);
    const wxString whole = label->GetLabelText();
    if (!whole.empty() && label->GetTextExtent(whole).GetWidth() > control.rect.GetWidth()) {
        control.window->SetToolTip(whole);
    } else {
        control.window->UnsetToolTip();
    }
}

}  // namespace

bool IsStatic(ControlKind kind) {
    return kind == ControlKind::StaticLeft || kind == ControlKind::StaticCentred ||
           kind == ControlKind::StaticCentredVertically;
}

DialogFonts ChooseDialogFonts(wxDialog& dialog, const DialogTemplate& dialogTemplate,
                              const wxRect& workArea) {
    const double base = dialogTemplate.fontPointSize;
    wxSize frame = dialog.GetSize() - dialog.GetClientSize();
    frame.IncTo(wxSize(kFrameAllowanceWidth, kFrameAllowanceHeight));
    double size = base;
    for (;;) {
        dialog.SetFont(DialogFont(size));
        const wxSize outer =
            dialog.ConvertDialogToPixels(wxSize(dialogTemplate.width, dialogTemplate.height)) +
            frame;
        const bool fits =
            outer.GetWidth() <= workArea.GetWidth() && outer.GetHeight() <= workArea.GetHeight();
        if (fits || size - kPointSizeStep < kSmallestPointSize) {
            break;
        }
        size -= kPointSizeStep;
    }
    return DialogFonts{dialog.GetFont(), EmphasisFont(kEmphasisPointSize * size / base)};
}

WxControlBuilder::WxControlBuilder(wxDialog& dialog, const DialogTemplate& dialogTemplate)
    : dialog_(dialog), template_(dialogTemplate) {}

wxRect WxControlBuilder::ToPixels(const ControlTemplate& c) const {
    return wxRect(dialog_.ConvertDialogToPixels(wxPoint(c.x, c.y)),
                  dialog_.ConvertDialogToPixels(wxSize(c.width, c.height)));
}

void WxControlBuilder::Build() {
    const auto& list = template_.controls;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const ControlTemplate& c = list[i];
        if (c.kind == ControlKind::GroupBox) {
            continue;
        }
        Create(c);
        // Closing a radio group: a hidden member lets the logic uncheck all
        // (the toolkit keeps one button of a group checked).
        const bool groupEnds = i + 1 == list.size() ||
                               list[i + 1].kind != ControlKind::RadioButton ||
                               list[i + 1].groupStart;
        if (c.kind == ControlKind::RadioButton && groupEnds) {
            auto* none = MakeChild<wxRadioButton>(&dialog_, wxID_ANY, wxString());
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
    // Group boxes come last: GTK finds the widget under the pointer (for its
    // tooltip) by trying the children in order, so a box created first would
    // stand for every control inside it. Boxes take no focus; the Tab order
    // stays the template's.
    for (const ControlTemplate& c : list) {
        if (c.kind == ControlKind::GroupBox) {
            Create(c);
        }
    }
    for (const auto& [id, control] : controls_) {
        if (control.tmpl->kind == ControlKind::Picture) {
            ClearPicture(control.rect);
        }
    }
}

void WxControlBuilder::ClearPicture(const wxRect& picture) {
    // A picture shows at its own size, which may reach beyond its template box.
    for (auto& [id, control] : controls_) {
        wxRect& r = control.rect;
        if (control.tmpl->kind == ControlKind::Picture) {
            continue;
        }
        if (r.Intersects(picture) && r.GetTop() > picture.GetTop()) {
            const int bottom = r.GetBottom();
            r.SetTop(picture.GetBottom() + 1);
            r.SetBottom(std::max(bottom, r.GetTop()));
        } else {
            const PixelRect clear =
                KeepClearOfPicture({picture.x, picture.y, picture.width, picture.height},
                                   {r.x, r.y, r.width, r.height});
            if (clear == PixelRect{r.x, r.y, r.width, r.height}) {
                continue;
            }
            r = wxRect(clear.left, clear.top, clear.width, clear.height);
        }
        control.window->SetSize(r);
        RelayoutText(control);
    }
}

void WxControlBuilder::Create(const ControlTemplate& c) {
    const wxRect r = ToPixels(c);
    const wxWindowID wid = c.id == kNoControlId ? wxID_ANY : c.id;
    WxControl control;
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
            if (c.height <= kOneLineHeight) {
                style |= wxST_ELLIPSIZE_END;
            }
            control.window = MakeChild<wxStaticText>(&dialog_, wid, wxString(), r.GetPosition(),
                                                     r.GetSize(), style);
            break;
        }
        case ControlKind::GroupBox:
            control.window =
                MakeChild<wxStaticBox>(&dialog_, wid, wxString(), r.GetPosition(), r.GetSize());
            break;
        case ControlKind::RadioButton: {
            // Sized for the widest label a port can get ("COM100"), so the
            // toolkit never has to squeeze one below its natural width.
            auto* radio =
                MakeChild<wxRadioButton>(&dialog_, wid, wxString("COM100"), r.GetPosition(),
                                         r.GetSize(), c.groupStart ? wxRB_GROUP : 0);
            const wxSize best = radio->GetBestSize();
            // Themes may draw the indicator taller than the template's row:
            // grow about the row's middle rather than squeeze it.
            if (best.GetHeight() > r.GetHeight()) {
                control.rect.SetY(r.GetY() - (best.GetHeight() - r.GetHeight()) / 2);
                control.rect.SetHeight(best.GetHeight());
            }
            control.rect.SetWidth(std::max(r.GetWidth(), best.GetWidth()));
            radio->SetSize(control.rect);
            control.window = radio;
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
            control.window =
                MakeChild<wxButton>(&dialog_, wid, wxString(), r.GetPosition(), r.GetSize());
            break;
        case ControlKind::Picture: {
            // A picture control takes the size of its bitmap.
            const wxBitmap logo = MakeLogo(dialog_.GetBackgroundColour());
            control.rect.SetSize(logo.GetSize());
            control.window = MakeChild<wxStaticBitmap>(&dialog_, wid, logo, r.GetPosition());
            break;
        }
        case ControlKind::Icon: {
            const wxIcon icon = MakeAppIcon();
            control.rect.SetSize(wxSize(icon.GetWidth(), icon.GetHeight()));
            control.window = MakeChild<wxStaticBitmap>(&dialog_, wid, icon, r.GetPosition());
            break;
        }
        case ControlKind::LinkText:
            // The control needs some text at creation; the logic sets the real one.
            control.window =
                MakeChild<LinkText>(&dialog_, wid, wxString(" "), wxString(" "), r.GetPosition(),
                                    r.GetSize(), wxHL_ALIGN_LEFT | wxNO_BORDER);
            break;
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

void SetControlText(WxControl& control, std::string_view text) {
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
    RelayoutText(control);
}

void RelayoutText(WxControl& control) {
    if (!IsStatic(control.tmpl->kind)) {
        return;
    }
    if (!IsOneLine(control)) {
        auto* label = static_cast<wxStaticText*>(control.window);
        label->SetLabelText(ToWx(control.text));
        label->Wrap(control.rect.GetWidth());
    }
    if (control.tmpl->kind == ControlKind::StaticCentredVertically) {
        LayoutCentredVertically(control);
    }
    ShowCutTextAsTooltip(control);
}

}  // namespace vorenta::wxui
