#include <gtest/gtest.h>

#include <vector>

#include "serial/StaticPortTable.h"

namespace vorenta::test {
namespace {

TEST(StaticPortTable, KnowsExactlyTheMappingsItWasGiven) {
    StaticPortTable table({{12, "/dev/ttyUSB1"}, {2, "/dev/ttyS1"}, {0, "/dev/x"}, {3, ""}});
    EXPECT_TRUE(table.AddMapping("com7=/dev/ttyACM0"));
    EXPECT_TRUE(table.AddMapping("COM2=/dev/ttyS9"));  // a later mapping wins
    for (const char* bad : {"COM=/dev/x", "COM0=/dev/x", "COM256=/dev/x", "COM5",
                            "COM5=", "TTY5=/dev/x", "COM5x=/dev/x", "COM+5=/dev/x", "=/dev/x"}) {
        EXPECT_FALSE(table.AddMapping(bad)) << bad;
    }

    std::vector<InstalledPort> ports{{"stale", "/dev/stale"}};
    ASSERT_TRUE(table.ListPorts(ports));
    ASSERT_EQ(ports.size(), 3U);
    EXPECT_EQ(ports[0].name, "COM2");
    EXPECT_EQ(ports[0].devicePath, "/dev/ttyS9");
    EXPECT_EQ(ports[1].name, "COM7");
    EXPECT_EQ(ports[2].name, "COM12");

    EXPECT_EQ(table.DevicePathFor(12), "/dev/ttyUSB1");
    EXPECT_EQ(table.DevicePathFor(3), "");
    EXPECT_EQ(table.DevicePathFor(-1), "");
}

TEST(StaticPortTable, ComNamesRoundTrip) {
    EXPECT_EQ(ComName(10), "COM10");
    EXPECT_EQ(ParseComName("COM10"), 10);
    EXPECT_EQ(ParseComName("Com255"), 255);
    EXPECT_FALSE(ParseComName("COM"));
    EXPECT_FALSE(ParseComName("COM-1"));
    EXPECT_FALSE(ParseComName("COM 1"));
    EXPECT_FALSE(ParseComName("COM99999999999"));
}

}  // namespace
}  // namespace vorenta::test
