#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

#include "ui/Logo.h"

namespace vorenta::wxui {

wxBitmap ToBitmap(const RgbImage& image);

// Bitmap 139 with its corners in the current button-face colour.
wxBitmap MakeLogo();

// Icon 128 in the sizes a desktop asks for.
wxIconBundle MakeAppIcons();
wxIcon MakeAppIcon();

}  // namespace vorenta::wxui
