#include "ui/Logo.h"

#include <cstddef>

namespace vorenta {

namespace {

constexpr Pixel kBackground{0x1F, 0x4E, 0x8C};
constexpr Pixel kBody{0xF0, 0xF0, 0xF0};
constexpr Pixel kLabel{0xF0, 0x90, 0x20};
constexpr Pixel kAntenna{0xFF, 0xFF, 0xFF};
constexpr Pixel kWave{0x9C, 0xC8, 0xF0};

std::size_t Offset(int width, int x, int y) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
            static_cast<std::size_t>(x)) *
           3U;
}

}  // namespace

RgbImage::RgbImage(int width, int height, Pixel fill)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      bytes_(Offset(width_, 0, height_)) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Set(x, y, fill);
        }
    }
}

Pixel RgbImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return Pixel{};
    }
    const std::size_t o = Offset(width_, x, y);
    return Pixel{bytes_[o], bytes_[o + 1], bytes_[o + 2]};
}

void RgbImage::Set(int x, int y, Pixel colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const std::size_t o = Offset(width_, x, y);
    bytes_[o] = colour.r;
    bytes_[o + 1] = colour.g;
    bytes_[o + 2] = colour.b;
}

RgbImage DrawRadioModule(int size) {
    RgbImage image(size, size, kBackground);
    const double s = size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Shapes are given in fractions of the size, tested at pixel centres.
            const double u = (x + 0.5) / s;
            const double v = (y + 0.5) / s;
            const double du = u - 0.5;
            const double dv = v - 0.22;
            const double r2 = du * du + dv * dv;
            const bool upper = dv < 0.04;
            if (u >= 0.2 && u < 0.8 && v >= 0.45 && v < 0.85) {
                const bool label = u >= 0.3 && u < 0.7 && v >= 0.56 && v < 0.74;
                image.Set(x, y, label ? kLabel : kBody);
            } else if (u >= 0.46 && u < 0.54 && v >= 0.18 && v < 0.45) {
                image.Set(x, y, kAntenna);
            } else if (upper && ((r2 >= 0.015 && r2 < 0.026) || (r2 >= 0.05 && r2 < 0.068))) {
                image.Set(x, y, kWave);
            }
        }
    }
    return image;
}

void RoundLogoCorners(RgbImage& logo, Pixel buttonFace) {
    for (const PixelPoint& p : kLogoCornerPixels) {
        logo.Set(p.x, p.y, buttonFace);
    }
}

RgbImage MakeLogoBitmap(Pixel buttonFace) {
    RgbImage logo = DrawRadioModule(kLogoSize);
    RoundLogoCorners(logo, buttonFace);
    return logo;
}

}  // namespace vorenta
