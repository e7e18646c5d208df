#include "ui/wx/WxImages.h"

#include <wx/image.h>

#include <cstring>

namespace vorenta::wxui {

wxBitmap ToBitmap(const RgbImage& image) {
    wxImage img(image.Width(), image.Height(), false);
    std::memcpy(img.GetData(), image.Bytes().data(), image.Bytes().size());
    return wxBitmap(img);
}

wxBitmap MakeLogo(const wxColour& background) {
    const RgbImage logo =
        MakeLogoBitmap(Pixel{background.Red(), background.Green(), background.Blue()});
    wxImage img(logo.Width(), logo.Height(), false);
    std::memcpy(img.GetData(), logo.Bytes().data(), logo.Bytes().size());
    img.InitAlpha();
    for (const PixelPoint& p : kLogoCornerPixels) {
        img.SetAlpha(p.x, p.y, wxIMAGE_ALPHA_TRANSPARENT);
    }
    return wxBitmap(img);
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
