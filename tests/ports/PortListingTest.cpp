// The port listing and the pinned port map over a Linux machine's devices.
#include <gtest/gtest.h>

#include <sstream>

#include "PortPins.h"
#include "platform/linux/LinuxPortTable.h"
#include "platform/posix/ReplaceFile.h"
#include "serial/PortListText.h"
#include "tests/platform/linux/FakeSystemTree.h"

namespace vorenta::testing {
namespace {

class Adapters : public ::testing::Test {
  protected:
    std::string Listing() {
        LinuxPortTable table(tree.roots, &warnings);
        std::vector<InstalledPort> ports;
        EXPECT_TRUE(table.ListPorts(ports));
        return PortListText(table, ports);
    }

    FakeSystemTree tree;
    std::ostringstream warnings;
};

TEST_F(Adapters, ListingShowsMakerProductIdsSerialDriverAndStableName) {
    EXPECT_EQ(Listing(),
              "COM33  " + tree.Dev("ttyUSB0") +
                  "\n"
                  "       FTDI FT232R USB UART (0403:6001, serial A50285BI, driver ftdi_sio)\n"
                  "       " +
                  tree.ById() +
                  "\n"
                  "COM34  " +
                  tree.Dev("ttyUSB1") +
                  "\n"
                  "       USB Serial (1a86:7523, driver ch341-uart)\n"
                  "COM67  " +
                  tree.Dev("ttyACM0") +
                  "\n"
                  "       Raspberry Pi Pico (2e8a:000a, serial E6605838, driver cdc_acm)\n");
    EXPECT_EQ(warnings.str(), "");
}

TEST_F(Adapters, PinnedNumbersFollowTheAdapterAcrossReplugging) {
    WriteFile(tree.roots.devFolder / "pts/5", "");
    WriteFile(tree.roots.mapFile, "COM9=" + tree.Dev("pts/5") + "\n");
    std::string pins;
    {
        LinuxPortTable table(tree.roots, &warnings);
        std::vector<InstalledPort> ports;
        ASSERT_TRUE(table.ListPorts(ports));
        pins = PinnedPortsText(ports, tree.roots);
    }
    EXPECT_NE(
        pins.find("\n# FTDI FT232R USB UART (0403:6001, serial A50285BI, driver ftdi_sio)\nCOM33=" +
                  tree.ById() + "\n"),
        std::string::npos)
        << pins;
    // Without a stable name a port keeps the path it has today.
    EXPECT_NE(pins.find("\nCOM9=" + tree.Dev("pts/5") + "\n"), std::string::npos) << pins;
    EXPECT_NE(pins.find("\nCOM34=" + tree.Dev("ttyUSB1") + "\n"), std::string::npos) << pins;

    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(tree.roots.mapFile, pins, error)) << error;

    // The FTDI adapter comes back as ttyUSB2, the CH340 is gone.
    std::filesystem::remove(tree.roots.devFolder / "ttyUSB0");
    std::filesystem::remove(tree.roots.devFolder / "ttyUSB1");
    WriteFile(tree.roots.devFolder / "ttyUSB2", "");
    std::filesystem::remove(tree.ById());
    FakeSystemTree::Link(tree.ById(), "../../ttyUSB2");

    LinuxPortTable table(tree.roots, &warnings);
    std::vector<InstalledPort> ports;
    ASSERT_TRUE(table.ListPorts(ports));
    ASSERT_EQ(ports.size(), 3U);
    EXPECT_EQ(ports[0].name, "COM9");
    EXPECT_EQ(ports[1].name, "COM33");
    EXPECT_EQ(ports[1].devicePath, tree.ById());
    EXPECT_EQ(ports[2].name, "COM67");  // ttyUSB2 is not offered a second time as COM35
    EXPECT_NE(warnings.str().find("ttyUSB1 does not exist"), std::string::npos) << warnings.str();
}

TEST_F(Adapters, AStableNameThatIsNotPrintableIsNeverPinned) {
    std::filesystem::remove(tree.ById());
    const auto evil = tree.roots.devFolder / "serial/by-id" / "usb-Evil\nCOM1=/dev/ttyS0";
    FakeSystemTree::Link(evil, "../../ttyUSB0");
    LinuxPortTable table(tree.roots, &warnings);
    std::vector<InstalledPort> ports;
    ASSERT_TRUE(table.ListPorts(ports));
    const std::string pins = PinnedPortsText(ports, tree.roots);
    EXPECT_EQ(pins.find("usb-Evil"), std::string::npos) << pins;
    EXPECT_EQ(pins.find("\nCOM1="), std::string::npos) << pins;
    EXPECT_NE(pins.find("\nCOM33=" + tree.Dev("ttyUSB0") + "\n"), std::string::npos) << pins;
}

}  // namespace
}  // namespace vorenta::testing
