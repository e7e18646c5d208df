#pragma once

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

#include "ui/Logo.h"

namespace vorenta::wxui {

wxBitmap ToBitmap(const RgbImage& image);

// Bitmap 139 with its corners in `background`, the colour of the dialog it
// is shown on; those pixels are also transparent, so they match the dialog
// whatever the theme paints.
wxBitmap MakeLogo(const wxColour& background);

// Icon 128 in the sizes a desktop asks for.
wxIconBundle MakeAppIcons();
wxIcon MakeAppIcon();

// The information symbol of our message boxes: a white "i" on a blue disc,
// transparent around it, `size` pixels square. Icon themes draw "information"
// in many ways (a light bulb, a grey outline); ours reads the same on all.
wxImage DrawInformationSymbol(int size);
// The symbol at the message box's size and at twice it, for scaled screens.
wxBitmapBundle InformationSymbol();

}  // namespace vorenta::wxui
