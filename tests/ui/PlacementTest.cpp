#include "ui/Placement.h"

#include <gtest/gtest.h>

#include "RecordingWindow.h"

namespace vorenta {
namespace {

TEST(Placement, CentredAcrossQuarterDown) {
    const WindowPosition p = PlacementOnScreen({5, 5, 971, 637}, {0, 0, 1920, 1080});
    EXPECT_EQ(p.left, 474);  // (1920 - 971) / 2, truncated
    EXPECT_EQ(p.top, 110);   // (1080 - 637) / 4, truncated
}

TEST(Placement, ScreenSmallerThanWindowGivesNegativeEdges) {
    // Truncation toward zero: -171 / 2 = -85, -17 / 4 = -4.
    const WindowPosition p = PlacementOnScreen({0, 0, 971, 617}, {0, 0, 800, 600});
    EXPECT_EQ(p.left, -85);
    EXPECT_EQ(p.top, -4);

    testing::RecordingWindow window;
    window.window = {100, 100, 971, 617};
    window.screen = {0, 0, 800, 600};
    PlaceWindowOnScreen(window);
    EXPECT_EQ(window.moves, 1);
    EXPECT_EQ(window.window.left, -85);
    EXPECT_EQ(window.window.top, -4);
    EXPECT_EQ(window.window.width, 971);  // size unchanged
}

}  // namespace
}  // namespace vorenta
