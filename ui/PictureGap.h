#pragma once

namespace vorenta {

// A control's rectangle on screen, in pixels of its dialog's client area.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Space kept between a picture and a text beside it.
inline constexpr int kPictureGapPx = 8;

// A picture keeps its bitmap's size in pixels while the dialog's units shrink
// with the font; a text placed to its right in the template is moved right
// (its right edge staying) so that at least kPictureGapPx stay between them.
// Beside means starting level with or above the picture's top and reaching
// down past it; other texts are returned as they are.
PixelRect KeepClearOfPicture(const PixelRect& picture, PixelRect text);

}  // namespace vorenta
