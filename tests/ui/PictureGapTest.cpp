#include <gtest/gtest.h>

#include "ui/PictureGap.h"

namespace vorenta {
namespace {

// The logo (50 x 50 pixels at 28, 92 dialog units) and the notice beside it
// (60, 92, 560 x 22 dialog units) at two sizes of the dialog's units.
TEST(PictureGap, ATextBesideThePictureMovesClearOnlyWhenTheUnitsAreSmall) {
    // Units of 2 x 2 pixels: 14 pixels between them already.
    const PixelRect wideLogo{56, 184, 50, 50};
    const PixelRect wideNotice{120, 184, 1120, 44};
    EXPECT_EQ(KeepClearOfPicture(wideLogo, wideNotice), wideNotice);

    // Units of 1.5 x 1.6 pixels: the notice started inside the logo.
    const PixelRect smallLogo{42, 147, 50, 50};
    const PixelRect smallNotice{90, 147, 840, 35};
    const PixelRect moved = KeepClearOfPicture(smallLogo, smallNotice);
    EXPECT_EQ(moved.left, smallLogo.Right() + kPictureGapPx);
    EXPECT_EQ(moved.Right(), smallNotice.Right());  // its right edge stays
    EXPECT_EQ(moved.top, smallNotice.top);
    EXPECT_EQ(moved.height, smallNotice.height);
}

TEST(PictureGap, TextsBelowLeftOrApartAreLeftAlone) {
    const PixelRect logo{42, 147, 50, 50};
    const PixelRect below{42, 190, 900, 200};    // starts lower, overlaps: the host moves it down
    const PixelRect left{0, 147, 40, 20};        // left of the picture
    const PixelRect above{42, 100, 900, 20};     // ends before the picture
    const PixelRect farRight{300, 147, 40, 20};  // already clear
    for (const PixelRect& text : {below, left, above, farRight}) {
        EXPECT_EQ(KeepClearOfPicture(logo, text), text) << text.left << "," << text.top;
    }
    // A text too narrow to move keeps no negative width.
    EXPECT_EQ(KeepClearOfPicture(logo, {60, 147, 20, 20}).width, 0);
}

}  // namespace
}  // namespace vorenta
