#include "ui/wx/WxColourRule.h"

#include <wx/hyperlink.h>
#include <wx/settings.h>

#include "ui/Colours.h"

namespace vorenta::wxui {

namespace {

std::uint32_t ToColorRef(const wxColour& c) {
    return Rgb(c.Red(), c.Green(), c.Blue());
}

wxColour FromColorRef(std::uint32_t ref) {
    return wxColour(RedOf(ref), GreenOf(ref), BlueOf(ref));
}

bool SameStyle(const ControlStyle& a, const ControlStyle& b) {
    return a.emphasisFont == b.emphasisFont && a.customColour == b.customColour &&
           a.textColour == b.textColour && a.transparentBackground == b.transparentBackground;
}

}  // namespace

WxColourRule::WxColourRule(const DialogFonts& fonts, const wxColour& background,
                           const wxColour& text)
    : fonts_(fonts), background_(background), defaultText_(text) {}

wxColour WxColourRule::TextColour(std::uint32_t colorRef) const {
    return FromColorRef(ReadableTextColour(colorRef, ToColorRef(background_)));
}

wxColour WxColourRule::LinkColour() const {
    // The theme names its link colour for its own link widget; a theme that
    // names none gets the conventional blue.
    wxColour link = wxSystemSettings::GetColour(wxSYS_COLOUR_HOTLIGHT);
    if (!link.IsOk() || link == *wxBLACK) {
        link = wxColour(0, 0, 255);
    }
    return TextColour(ToColorRef(link));
}

void WxColourRule::Apply(WxControl& control, const ControlStyle& style) const {
    if (control.applied && SameStyle(*control.applied, style)) {
        return;
    }
    control.applied = style;
    wxWindow* w = control.window;
    w->SetFont(style.emphasisFont ? fonts_.emphasis : fonts_.dialog);
    w->SetForegroundColour(style.customColour ? TextColour(style.textColour) : defaultText_);
    // Static texts draw no background of their own: the emphasised lines sit on
    // the dialog's background either way.
    RelayoutText(control);
    w->Refresh();
}

}  // namespace vorenta::wxui
