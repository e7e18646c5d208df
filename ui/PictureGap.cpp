#include "ui/PictureGap.h"

#include <algorithm>

namespace vorenta {

PixelRect KeepClearOfPicture(const PixelRect& picture, PixelRect text) {
    // A text starting lower than the picture's top is below it, not beside it.
    const bool besideIt = text.top <= picture.top && picture.top < text.Bottom();
    const int clearFrom = picture.Right() + kPictureGapPx;
    if (!besideIt || text.left < picture.left || text.left >= clearFrom) {
        return text;
    }
    const int right = text.Right();
    text.left = clearFrom;
    text.width = std::max(0, right - clearFrom);
    return text;
}

}  // namespace vorenta
