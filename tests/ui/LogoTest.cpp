#include "ui/Logo.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace vorenta {
namespace {

TEST(Logo, CornerRoundingChangesExactlyTheTwentyFourCornerPixels) {
    // A face colour the drawing never uses, so every corner pixel changes.
    const Pixel face{0x12, 0x34, 0x56};
    const RgbImage drawn = DrawRadioModule(kLogoSize);
    const RgbImage logo = MakeLogoBitmap(face);
    ASSERT_EQ(logo.Width(), 50);
    ASSERT_EQ(logo.Height(), 50);

    std::set<std::pair<int, int>> changed;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) {
            if (!(logo.At(x, y) == drawn.At(x, y))) {
                changed.insert({x, y});
                EXPECT_EQ(logo.At(x, y), face);
            }
        }
    }
    EXPECT_EQ(changed.size(), 24U);
    // Six per corner, each within three pixels of its corner.
    int perCorner[2][2] = {};
    for (const auto& [x, y] : changed) {
        const bool right = x >= 47;
        const bool bottom = y >= 47;
        ASSERT_TRUE((x <= 2 || right) && (y <= 2 || bottom)) << x << "," << y;
        ++perCorner[right][bottom];
    }
    for (const auto& row : perCorner) {
        for (const int n : row) {
            EXPECT_EQ(n, 6);
        }
    }
}

TEST(Logo, ImageIgnoresOutOfRangePixels) {
    RgbImage image(3, 2, Pixel{1, 2, 3});
    image.Set(-1, 0, Pixel{9, 9, 9});
    image.Set(3, 0, Pixel{9, 9, 9});
    image.Set(0, 2, Pixel{9, 9, 9});
    image.Set(2, 1, Pixel{7, 8, 9});
    EXPECT_EQ(image.Bytes().size(), 18U);
    EXPECT_EQ(image.At(2, 1), (Pixel{7, 8, 9}));
    EXPECT_EQ(image.At(0, 0), (Pixel{1, 2, 3}));
    EXPECT_EQ(image.At(5, 5), Pixel{});
}

TEST(Logo, DrawingIsNotBlank) {
    for (const int size : {16, 32, 50}) {
        const RgbImage image = DrawRadioModule(size);
        std::set<std::tuple<int, int, int>> colours;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const Pixel c = image.At(x, y);
                colours.insert({c.r, c.g, c.b});
            }
        }
        EXPECT_GE(colours.size(), 4U) << size;
    }
}

}  // namespace
}  // namespace vorenta
