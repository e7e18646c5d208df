#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vorenta {

inline constexpr int kAppIconResource = 128;
inline constexpr int kLogoBitmapResource = 139;
inline constexpr int kLogoSize = 50;
inline constexpr int kAppIconSize = 32;

struct Pixel {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// 24-bit pixels, rows from the top, three bytes (red, green, blue) each.
class RgbImage {
  public:
    RgbImage(int width, int height, Pixel fill);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Pixel At(int x, int y) const;
    // Points outside the image are ignored.
    void Set(int x, int y, Pixel colour);
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  private:
    int width_;
    int height_;
    std::vector<std::uint8_t> bytes_;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
};

// The six pixels of each corner painted in the button-face colour, so the
// logo's corners look rounded against the dialog.
inline constexpr std::array<PixelPoint, 24> kLogoCornerPixels{{
    {0, 0},   {1, 0},   {2, 0},   {0, 1},   {1, 1},   {0, 2},    // top left
    {49, 0},  {48, 0},  {47, 0},  {49, 1},  {48, 1},  {49, 2},   // top right
    {0, 49},  {1, 49},  {2, 49},  {0, 48},  {1, 48},  {0, 47},   // bottom left
    {49, 49}, {48, 49}, {47, 49}, {49, 48}, {48, 48}, {49, 47},  // bottom right
}};

// A radio module with its antenna and waves, drawn at any size.
RgbImage DrawRadioModule(int size);

// Bitmap 139 as the window shows it: the module drawing, 50 x 50, with its
// corners rounded in `buttonFace`.
RgbImage MakeLogoBitmap(Pixel buttonFace);
void RoundLogoCorners(RgbImage& logo, Pixel buttonFace);

}  // namespace vorenta
