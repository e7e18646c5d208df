#include "ui/Colours.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace vorenta {
namespace {

// Hue in degrees of a colour that is not grey.
double Hue(std::uint32_t c) {
    const double r = RedOf(c);
    const double g = GreenOf(c);
    const double b = BlueOf(c);
    return std::fmod(
        std::atan2(std::sqrt(3.0) * (g - b), 2 * r - g - b) * 180 / std::numbers::pi + 360, 360);
}

TEST(Colours, ContrastFollowsRelativeLuminance) {
    EXPECT_NEAR(ContrastRatio(Rgb(0, 0, 0), Rgb(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(Rgb(255, 255, 255), Rgb(0, 0, 0)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(kEmphasisRed, kEmphasisRed), 1.0, 1e-9);
    EXPECT_TRUE(IsDarkBackground(Rgb(0x35, 0x35, 0x35)));  // a dark theme's window
    EXPECT_TRUE(IsDarkBackground(Rgb(0, 0, 0)));
    EXPECT_FALSE(IsDarkBackground(Rgb(0xF6, 0xF5, 0xF4)));  // a light theme's window
    EXPECT_FALSE(IsDarkBackground(Rgb(0xF0, 0xF0, 0xF0)));
}

TEST(Colours, FixedColoursStayOnLightThemes) {
    for (const std::uint32_t background : {Rgb(0xF6, 0xF5, 0xF4), Rgb(0xF0, 0xF0, 0xF0),
                                           Rgb(255, 255, 255), Rgb(0xC0, 0xC0, 0xC0)}) {
        EXPECT_EQ(ReadableTextColour(kEmphasisRed, background), kEmphasisRed);
        EXPECT_EQ(ReadableTextColour(kStepLineGreen, background), kStepLineGreen);
    }
}

TEST(Colours, OnDarkThemesTheyKeepTheirHueAndBecomeReadable) {
    for (const std::uint32_t background :
         {Rgb(0x35, 0x35, 0x35), Rgb(0x24, 0x24, 0x24), Rgb(0, 0, 0), Rgb(0x30, 0x0A, 0x24),
          Rgb(0x5A, 0x5A, 0x5A), Rgb(0x74, 0x74, 0x74)}) {
        for (const std::uint32_t colour : {kEmphasisRed, kStepLineGreen, Rgb(0, 0, 255)}) {
            const std::uint32_t shown = ReadableTextColour(colour, background);
            EXPECT_GE(ContrastRatio(shown, background), kReadableContrast)
                << std::hex << colour << " on " << background;
            EXPECT_NEAR(Hue(shown), Hue(colour), 2.0) << std::hex << colour << " -> " << shown;
        }
    }
    // Red stays red: the brightest channel is red, the others equal.
    const std::uint32_t red = ReadableTextColour(kEmphasisRed, Rgb(0x35, 0x35, 0x35));
    EXPECT_EQ(RedOf(red), 255);
    EXPECT_EQ(GreenOf(red), BlueOf(red));
    // Already readable: left alone.
    EXPECT_EQ(ReadableTextColour(Rgb(255, 128, 128), Rgb(0, 0, 0)), Rgb(255, 128, 128));
}

}  // namespace
}  // namespace vorenta
