#include <gtest/gtest.h>

#include <sstream>

#include "platform/posix/PosixPortTable.h"
#include "tests/ports/PortsTestSupport.h"

namespace vorenta::testing {
namespace {

// A /dev and /sys/class/tty of the test's own: ttyS0 has a UART, ttyS1 is one
// of the placeholders Linux makes for every possible port, ttyS2 has no sysfs
// entry at all.
class PortTableOnFakeTree : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(tmp.path().empty());
        for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyUSB0", "ttyUSB3", "ttyACM1",
                                 "ttyUSB34", "ttyS32", "ttyACM0x"}) {
            WriteFile(Dev(name), "");
        }
        WriteFile(tmp.path() / "sys/ttyS0/type", "4\n");
        WriteFile(tmp.path() / "sys/ttyS1/type", "0\n");
        WriteFile(tmp.path() / "sys/ttyS32/type", "4\n");
        roots.devFolder = tmp.path() / "dev";
        roots.sysTtyFolder = tmp.path() / "sys";
        roots.mapFile = tmp.path() / "config/ports.conf";
    }
    std::string Dev(const std::string& name) const { return (tmp.path() / "dev" / name).string(); }
    std::vector<InstalledPort> List(bool expectReadable = true) {
        PosixPortTable table(roots, &warnings);
        std::vector<InstalledPort> ports{{"stale", "entry"}};
        EXPECT_EQ(table.ListPorts(ports), expectReadable);
        return ports;
    }

    TempFolder tmp;
    PortTableRoots roots;
    std::ostringstream warnings;
};

using Listing = std::vector<std::pair<std::string, std::string>>;

Listing Pairs(const std::vector<InstalledPort>& ports) {
    Listing pairs;
    for (const InstalledPort& port : ports) {
        pairs.emplace_back(port.name, port.devicePath);
    }
    return pairs;
}

TEST_F(PortTableOnFakeTree, DefaultRuleNumbersExistingDevicesWithAUart) {
    const auto ports = List();
    EXPECT_EQ(Pairs(ports), (Listing{{"COM1", Dev("ttyS0")},
                                     {"COM33", Dev("ttyUSB0")},
                                     {"COM36", Dev("ttyUSB3")},
                                     {"COM68", Dev("ttyACM1")}}));
    EXPECT_EQ(warnings.str(), "");

    PosixPortTable table(roots, &warnings);
    EXPECT_EQ(table.DevicePathFor(36), Dev("ttyUSB3"));
    EXPECT_EQ(table.DevicePathFor(2), "");  // the placeholder ttyS1
    EXPECT_EQ(table.DevicePathFor(3), "");  // ttyS2: nothing says it is a UART
}

TEST_F(PortTableOnFakeTree, MapFileComesFirstAndSkipsBadLines) {
    WriteFile(roots.mapFile,
              "# my adapters\n"
              "\n"
              "COM33=" +
                  Dev("ttyACM1") +
                  "\n"  // overrides ttyUSB0's number
                  "  com2 = " +
                  Dev("ttyS1") +
                  "  \r\n"  // the map may name any device
                  "COM2=" +
                  Dev("ttyUSB3") +
                  "\n"  // duplicate: the first wins
                  "garbage\n"
                  "COMx=/dev/null\n"
                  "COM0=" +
                  Dev("ttyS0") +
                  "\n"
                  "COM101=" +
                  Dev("ttyS0") +
                  "\n"
                  "COM5=dev/ttyS0\n"
                  "COM6=" +
                  Dev("ttyUSB9") +
                  "\n"  // does not exist
                  "COM7=\n");
    const auto ports = List();

    // ttyACM1 is not offered again as COM68; ttyUSB0 loses its number.
    EXPECT_EQ(Pairs(ports), (Listing{{"COM1", Dev("ttyS0")},
                                     {"COM2", Dev("ttyS1")},
                                     {"COM33", Dev("ttyACM1")},
                                     {"COM36", Dev("ttyUSB3")}}));
    const std::string text = warnings.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8) << text;
    EXPECT_NE(text.find("ports.conf:5: "), std::string::npos) << text;
    EXPECT_NE(text.find("ports.conf:12: "), std::string::npos) << text;
}

TEST_F(PortTableOnFakeTree, WarnsAboutABadLineOnlyOnce) {
    WriteFile(roots.mapFile, "COM3\n");
    PosixPortTable table(roots, &warnings);
    std::vector<InstalledPort> ports;
    table.ListPorts(ports);
    table.ListPorts(ports);
    table.DevicePathFor(3);
    const std::string text = warnings.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

TEST_F(PortTableOnFakeTree, EmptyListIsNotAnUnreadableOne) {
    std::filesystem::remove_all(roots.devFolder);
    std::filesystem::create_directories(roots.devFolder);
    EXPECT_TRUE(List().empty());

    std::filesystem::remove_all(roots.devFolder);
    EXPECT_TRUE(List(false).empty());

    // Without /dev the map file still names what it can.
    WriteFile(tmp.path() / "elsewhere/port", "");
    WriteFile(roots.mapFile, "COM4=" + (tmp.path() / "elsewhere/port").string() + "\n");
    EXPECT_EQ(Pairs(List()), (Listing{{"COM4", (tmp.path() / "elsewhere/port").string()}}));
}

}  // namespace
}  // namespace vorenta::testing
