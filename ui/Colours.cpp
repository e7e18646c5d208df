#include "ui/Colours.h"

#include <algorithm>
#include <cmath>

namespace vorenta {

namespace {

double Linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

struct Hsl {
    double h = 0;  // 0..6, in sixths of the colour wheel
    double s = 0;
    double l = 0;
};

Hsl ToHsl(std::uint32_t colour) {
    const double r = RedOf(colour) / 255.0;
    const double g = GreenOf(colour) / 255.0;
    const double b = BlueOf(colour) / 255.0;
    const double hi = std::max({r, g, b});
    const double lo = std::min({r, g, b});
    Hsl out;
    out.l = (hi + lo) / 2;
    const double d = hi - lo;
    if (d <= 0) {
        return out;
    }
    out.s = d / (1 - std::abs(2 * out.l - 1));
    if (hi == r) {
        out.h = std::fmod((g - b) / d + 6, 6);
    } else if (hi == g) {
        out.h = (b - r) / d + 2;
    } else {
        out.h = (r - g) / d + 4;
    }
    return out;
}

std::uint8_t ToByte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

std::uint32_t FromHsl(const Hsl& c) {
    const double chroma = (1 - std::abs(2 * c.l - 1)) * c.s;
    const double x = chroma * (1 - std::abs(std::fmod(c.h, 2) - 1));
    const double m = c.l - chroma / 2;
    double r = 0;
    double g = 0;
    double b = 0;
    switch (static_cast<int>(c.h) % 6) {
        case 0:
            r = chroma;
            g = x;
            break;
        case 1:
            r = x;
            g = chroma;
            break;
        case 2:
            g = chroma;
            b = x;
            break;
        case 3:
            g = x;
            b = chroma;
            break;
        case 4:
            r = x;
            b = chroma;
            break;
        default:
            r = chroma;
            b = x;
            break;
    }
    return Rgb(ToByte(r + m), ToByte(g + m), ToByte(b + m));
}

}  // namespace

double RelativeLuminance(std::uint32_t colour) {
    return 0.2126 * Linear(RedOf(colour)) + 0.7152 * Linear(GreenOf(colour)) +
           0.0722 * Linear(BlueOf(colour));
}

double ContrastRatio(std::uint32_t a, std::uint32_t b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkBackground(std::uint32_t background) {
    return ContrastRatio(background, Rgb(255, 255, 255)) > ContrastRatio(background, Rgb(0, 0, 0));
}

std::uint32_t ReadableTextColour(std::uint32_t colour, std::uint32_t background) {
    if (!IsDarkBackground(background) || ContrastRatio(colour, background) >= kReadableContrast) {
        return colour;
    }
    // Raise the lightness in small steps; the first step that reads is the
    // colour closest to the one asked for.
    Hsl hsl = ToHsl(colour);
    const double start = hsl.l;
    for (int step = 1; step <= 100; ++step) {
        hsl.l = start + (1 - start) * step / 100.0;
        const std::uint32_t lighter = FromHsl(hsl);
        if (ContrastRatio(lighter, background) >= kReadableContrast) {
            return lighter;
        }
    }
    return Rgb(255, 255, 255);
}

}  // namespace vorenta
