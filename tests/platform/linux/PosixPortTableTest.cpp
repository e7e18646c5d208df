#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sstream>

#include "platform/linux/LinuxPortTable.h"
#include "tests/support/TempFolder.h"

namespace vorenta::testing {
namespace {

// A /dev and /sys/class/tty of the test's own: ttyS0 has a UART, ttyS1 is one
// of the placeholders Linux makes for every possible port, ttyS2 has no sysfs
// entry at all.
class PortTableOnFakeTree : public ::testing::Test {
  protected:
    void SetUp() override {
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
        LinuxPortTable table(roots, &warnings);
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

    LinuxPortTable table(roots, &warnings);
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
    LinuxPortTable table(roots, &warnings);
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

// ports.conf is read as a whole, so only a regular file of sane size is read.
TEST_F(PortTableOnFakeTree, MapFileThatIsNoRegularFileIsIgnoredWithoutWaiting) {
    std::filesystem::create_directories(roots.mapFile.parent_path());
    ASSERT_EQ(mkfifo(roots.mapFile.c_str(), 0600), 0);  // no writer: a plain read would hang
    EXPECT_EQ(List().size(), 4U);
    EXPECT_NE(warnings.str().find("ports.conf: ignored, not a regular file"), std::string::npos)
        << warnings.str();

    std::filesystem::remove(roots.mapFile);
    std::filesystem::create_symlink("/dev/zero", roots.mapFile);  // would never end
    warnings.str("");
    EXPECT_EQ(List().size(), 4U);
    EXPECT_NE(warnings.str().find("not a regular file"), std::string::npos) << warnings.str();
}

TEST_F(PortTableOnFakeTree, MapFileOverOneMebibyteIsIgnored) {
    const std::string line = "COM5=" + Dev("ttyS1") + "\n";
    std::string contents = line;
    contents.resize(PosixPortTable::kMaxMapFileBytes, '\n');
    WriteFile(roots.mapFile, contents);
    EXPECT_EQ(List().at(1).name, "COM5");  // exactly the limit is still read
    EXPECT_EQ(warnings.str(), "");

    WriteFile(roots.mapFile, contents + "#");
    const auto ports = List();
    EXPECT_EQ(ports.size(), 4U);
    EXPECT_EQ(ports.at(1).name, "COM33");
    EXPECT_NE(warnings.str().find("ports.conf: ignored, larger than 1024 KiB"), std::string::npos)
        << warnings.str();
}

TEST_F(PortTableOnFakeTree, DevicesAskedForComeFromTheLastListing) {
    WriteFile(roots.mapFile, "COM5=" + Dev("ttyS1") + "\n");
    LinuxPortTable table(roots, &warnings);
    // Without a listing yet, the table makes one.
    EXPECT_EQ(table.DevicePathFor(5), Dev("ttyS1"));

    std::vector<InstalledPort> ports;
    ASSERT_TRUE(table.ListPorts(ports));
    WriteFile(roots.mapFile, "COM5=" + Dev("ttyUSB3") + "\n");
    // Asking for every number reads nothing again: the operator's listing holds.
    for (int n = PosixPortTable::kFirstCom; n <= PosixPortTable::kLastCom; ++n) {
        table.DevicePathFor(n);
    }
    EXPECT_EQ(table.DevicePathFor(5), Dev("ttyS1"));
    ASSERT_TRUE(table.ListPorts(ports));
    EXPECT_EQ(table.DevicePathFor(5), Dev("ttyUSB3"));
}

// Another system brings its own device names; without a way to tell a UART
// from a placeholder it offers none of a family that needs one.
TEST_F(PortTableOnFakeTree, AnotherSystemsRuleNumbersItsOwnDevices) {
    static constexpr PortRuleFamily kRule[] = {{"ttyS", 1, 4, true}, {"ttyUSB", 5, 4, false}};
    WriteFile(roots.mapFile, "COM2=" + Dev("ttyS1") + "\n");
    PosixPortTable table(roots.devFolder, roots.mapFile, kRule, &warnings);
    std::vector<InstalledPort> ports;
    ASSERT_TRUE(table.ListPorts(ports));
    EXPECT_EQ(
        Pairs(ports),
        (Listing{{"COM2", Dev("ttyS1")}, {"COM5", Dev("ttyUSB0")}, {"COM8", Dev("ttyUSB3")}}));
    EXPECT_EQ(table.DescribeDevice(Dev("ttyUSB0")), "");
}

}  // namespace
}  // namespace vorenta::testing
