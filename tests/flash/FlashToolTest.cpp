#include <gtest/gtest.h>

#include "ConsoleWindowHost.h"
#include "ExtraPortTable.h"
#include "FlashOptions.h"
#include "serial/StaticPortTable.h"

namespace vorenta::test {
namespace {

TEST(FlashOptions, AcceptsEveryOptionInBothForms) {
    const auto parsed = ParseFlashOptions(
        {"--port", "com12", "--dir=/opt/fw", "--wait", "30", "--log=wire.txt", "--quiet"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.ports, std::vector<std::string>{"com12"});
    EXPECT_EQ(parsed.options.dir, "/opt/fw");
    EXPECT_EQ(parsed.options.waitSeconds, 30U);
    EXPECT_EQ(parsed.options.logFile, "wire.txt");
    EXPECT_TRUE(parsed.options.quiet);
    EXPECT_EQ(ParseFlashOptions({"--port", "/dev/ttyUSB0"}).options.ports,
              std::vector<std::string>{"/dev/ttyUSB0"});
}

TEST(FlashOptions, RejectsBadValuesWithAReason) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--port", "COM0"},
                                                                  {"--port", "COM101"},
                                                                  {"--port", "ttyUSB0"},
                                                                  {"--port"},
                                                                  {"--wait", "0"},
                                                                  {"--wait", "-5"},
                                                                  {"--wait", "10s"},
                                                                  {"--dir="},
                                                                  {"--frobnicate"},
                                                                  {"extra"}}) {
        EXPECT_NE(ParseFlashOptions(args).error, "") << args.front();
    }
}

TEST(FlashOptions, ComNumbersAreCom1ToCom100InAnyCase) {
    EXPECT_EQ(ComNumberOf("COM1"), 1);
    EXPECT_EQ(ComNumberOf("cOm100"), 100);
    EXPECT_FALSE(ComNumberOf("COM101"));
    EXPECT_FALSE(ComNumberOf("COM"));
    EXPECT_FALSE(ComNumberOf("COM1x"));
    EXPECT_FALSE(ComNumberOf("LPT1"));
}

TEST(ConsoleProgress, ReadsTheProgressLineAndDrawsABar) {
    unsigned page = 0;
    unsigned count = 0;
    ASSERT_TRUE(ParseProgressText("Sending firmware page  12  of  256", page, count));
    EXPECT_EQ(page, 12U);
    EXPECT_EQ(count, 256U);
    EXPECT_FALSE(ParseProgressText("Sending firmware page  12  of  0", page, count));
    EXPECT_FALSE(ParseProgressText("Boot loader version  =  VR-VMM-KT76", page, count));
    EXPECT_EQ(ProgressBar(64, 256, 95.0),
              "[#######-----------------------] 64/256 pages 25%  about 1:35 left");
    EXPECT_EQ(ProgressBar(256, 256, std::nullopt),
              "[##############################] 256/256 pages 100%");
}

TEST(ExtraPortTable, NamedDeviceKeepsItsNumberOrTakesTheLowestFree) {
    StaticPortTable installed({{1, "/dev/ttyS0"}, {2, "/dev/ttyS1"}, {33, "/dev/ttyUSB0"}});
    ExtraPortTable known(installed, "/dev/ttyUSB0");
    EXPECT_EQ(known.ComNumber(), 33);

    ExtraPortTable added(installed, "/dev/pts/4");
    EXPECT_EQ(added.ComNumber(), 3);
    EXPECT_EQ(added.DevicePathFor(3), "/dev/pts/4");
    EXPECT_EQ(added.DevicePathFor(1), "/dev/ttyS0");
    std::vector<InstalledPort> ports;
    ASSERT_TRUE(added.ListPorts(ports));
    ASSERT_EQ(ports.size(), 4U);
    EXPECT_EQ(ports.back().name, "COM3");
}

}  // namespace
}  // namespace vorenta::test
