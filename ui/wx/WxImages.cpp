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

namespace {

constexpr int kMessageSymbolSize = 48;
constexpr int kSubsamples = 4;  // per pixel and axis, for smooth edges
constexpr unsigned char kSymbolBlue[3] = {0x1E, 0x5F, 0xC8};

}  // namespace

wxImage DrawInformationSymbol(int size) {
    wxImage image(size, size, true);
    image.InitAlpha();
    const double centre = size / 2.0;
    const double radius = size / 2.0 - 0.5;
    // The letter: a dot above a stem, in fractions of the size.
    const double dotY = size * 0.27;
    const double dotRadius = size * 0.08;
    const double stemHalfWidth = size * 0.07;
    const double stemTop = size * 0.41;
    const double stemBottom = size * 0.77;
    const auto inDisc = [&](double x, double y) {
        return (x - centre) * (x - centre) + (y - centre) * (y - centre) <= radius * radius;
    };
    const auto inLetter = [&](double x, double y) {
        const bool dot =
            (x - centre) * (x - centre) + (y - dotY) * (y - dotY) <= dotRadius * dotRadius;
        const bool stem = x >= centre - stemHalfWidth && x <= centre + stemHalfWidth &&
                          y >= stemTop && y <= stemBottom;
        return dot || stem;
    };
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            int disc = 0;
            int letter = 0;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const double x = px + (sx + 0.5) / kSubsamples;
                    const double y = py + (sy + 0.5) / kSubsamples;
                    if (inDisc(x, y)) {
                        ++disc;
                        letter += inLetter(x, y) ? 1 : 0;
                    }
                }
            }
            const double white = disc == 0 ? 0.0 : static_cast<double>(letter) / disc;
            const auto channel = [white](unsigned char blue) {
                return static_cast<unsigned char>(blue + (255 - blue) * white + 0.5);
            };
            image.SetRGB(px, py, channel(kSymbolBlue[0]), channel(kSymbolBlue[1]),
                         channel(kSymbolBlue[2]));
            image.SetAlpha(px, py,
                           static_cast<unsigned char>(255 * disc / (kSubsamples * kSubsamples)));
        }
    }
    return image;
}

wxBitmapBundle InformationSymbol() {
    return wxBitmapBundle::FromBitmaps(wxBitmap(DrawInformationSymbol(kMessageSymbolSize)),
                                       wxBitmap(DrawInformationSymbol(kMessageSymbolSize * 2)));
}

wxIcon MakeAppIcon() {
    wxIcon icon;
    icon.CopyFromBitmap(ToBitmap(DrawRadioModule(kAppIconSize)));
    return icon;
}

}  // namespace vorenta::wxui
