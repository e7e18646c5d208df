#pragma once

#include <cstdint>

namespace vorenta {

// Colours as 0x00BBGGRR values.
constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8U) |
           (static_cast<std::uint32_t>(b) << 16U);
}
constexpr std::uint8_t RedOf(std::uint32_t c) {
    return static_cast<std::uint8_t>(c & 0xFFU);
}
constexpr std::uint8_t GreenOf(std::uint32_t c) {
    return static_cast<std::uint8_t>((c >> 8U) & 0xFFU);
}
constexpr std::uint8_t BlueOf(std::uint32_t c) {
    return static_cast<std::uint8_t>((c >> 16U) & 0xFFU);
}

inline constexpr std::uint32_t kEmphasisRed = Rgb(192, 0, 0);
inline constexpr std::uint32_t kStepLineGreen = Rgb(0, 128, 0);

// The contrast a text needs against its background to be read comfortably.
inline constexpr double kReadableContrast = 4.5;

// Relative luminance, 0 (black) to 1 (white), of an sRGB colour.
double RelativeLuminance(std::uint32_t colour);
// Contrast ratio of two colours, 1 to 21, whichever is lighter.
double ContrastRatio(std::uint32_t a, std::uint32_t b);
// A dark theme's background: light text reads better on it than black.
bool IsDarkBackground(std::uint32_t background);

// A fixed text colour as it is drawn on `background`: unchanged on a light
// background; on a dark one lightened, keeping its hue and saturation, until
// it reaches kReadableContrast (or white).
std::uint32_t ReadableTextColour(std::uint32_t colour, std::uint32_t background);

}  // namespace vorenta
