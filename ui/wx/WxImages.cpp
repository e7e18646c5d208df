#include "ui/wx/WxImages.h"

#include <wx/image.h>
#include <wx/settings.h>

#include <cstring>

namespace vorenta::wxui {

wxBitmap ToBitmap(const RgbImage& image) {
    wxImage img(image.Width(), image.Height(), false);
    std::memcpy(img.GetData(), image.Bytes().data(), image.Bytes().size());
    return wxBitmap(img);
}

wxBitmap MakeLogo() {
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    return ToBitmap(MakeLogoBitmap(Pixel{face.Red(), face.Green(), face.Blue()}));
}

wxIconBundle MakeAppIcons() {
    wxIconBundle bundle;
    for (const int size : {16, kAppIconSize, 48}) {
        wxIcon icon;
        icon.CopyFromBitmap(ToBitmap(DrawRadioModule(size)));
        bundle.AddIcon(icon);
    }
    return bundle;
}

wxIcon MakeAppIcon() {
    wxIcon icon;
    icon.CopyFromBitmap(ToBitmap(DrawRadioModule(kAppIconSize)));
    return icon;
}

}  // namespace vorenta::wxui
