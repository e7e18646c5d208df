#pragma once

#include <wx/colour.h>

#include <cstdint>

#include "ui/UpdateDlg.h"
#include "ui/wx/WxControls.h"

namespace vorenta::wxui {

// Draws controls the way the dialog logic's colour rule asks, readable on the
// theme the dialog is shown with.
class WxColourRule {
  public:
    WxColourRule(const DialogFonts& fonts, const wxColour& background, const wxColour& text);

    // Applies a style when it differs from the one the control has.
    void Apply(WxControl& control, const ControlStyle& style) const;
    // The theme's link colour, readable on the dialog's background.
    wxColour LinkColour() const;
    // A fixed colour (0x00BBGGRR) as it is drawn on this dialog.
    wxColour TextColour(std::uint32_t colorRef) const;

  private:
    DialogFonts fonts_;
    wxColour background_;
    wxColour defaultText_;
};

}  // namespace vorenta::wxui
