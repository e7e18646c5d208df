#pragma once

#include <wx/bitmap.h>
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

}  // namespace vorenta::wxui
