#include <gtest/gtest.h>

#include <sstream>

#include "PortPins.h"
#include "platform/posix/AdapterInfo.h"
#include "platform/posix/PosixPortTable.h"
#include "platform/posix/ReplaceFile.h"
#include "serial/PortListText.h"
#include "tests/ports/FakeSystemTree.h"

namespace vorenta::testing {
namespace {

class Adapters : public ::testing::Test {
  protected:
    std::string Listing() {
        PosixPortTable table(tree.roots, &warnings);
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

TEST_F(Adapters, ReadsTheDriverAndFindsTheDeviceFromItsStableName) {
    const AdapterInfo acm = ReadAdapterInfo(tree.Dev("ttyACM0"), tree.roots);
    EXPECT_EQ(acm.driver, "cdc_acm");
    EXPECT_EQ(acm.UsbId(), "2e8a:000a");
    EXPECT_EQ(acm.byIdPath, "");

    // A port mapped by its by-id name is still described by the device behind it.
    const AdapterInfo viaLink = ReadAdapterInfo(tree.ById(), tree.roots);
    EXPECT_EQ(viaLink.driver, "ftdi_sio");
    EXPECT_EQ(viaLink.serial, "A50285BI");
    EXPECT_EQ(viaLink.byIdPath, tree.ById());
}

TEST_F(Adapters, NothingIsInventedForDevicesWithoutSysfsEntries) {
    WriteFile(tree.roots.devFolder / "ttyS0", "");
    EXPECT_EQ(ReadAdapterInfo(tree.Dev("ttyS0"), tree.roots).Describe(), "");
    EXPECT_EQ(ReadAdapterInfo(tree.Dev("ttyUSB9"), tree.roots).Describe(), "");
}

TEST_F(Adapters, StringsFromTheDeviceCannotDriveTheTerminal) {
    const auto product = tree.tmp.path() / "sys/devices/pci0000:00/usb1/1-2/product";
    WriteFile(product, "Evil\x1b]0;title\x07 Serial\n");
    // The platform passes the device's words on as they are...
    EXPECT_EQ(ReadAdapterInfo(tree.Dev("ttyUSB1"), tree.roots).product,
              "Evil\x1b]0;title\x07 Serial");
    // ...and every place that shows them makes them printable.
    PosixPortTable table(tree.roots);
    const std::vector<InstalledPort> ports{{"COM33", tree.Dev("ttyUSB1")}};
    const std::string listed = PortListText(table, ports);
    EXPECT_NE(listed.find("Evil?]0;title? Serial"), std::string::npos) << listed;
    EXPECT_EQ(listed.find('\x1b'), std::string::npos);
}

TEST_F(Adapters, PinnedNumbersFollowTheAdapterAcrossReplugging) {
    WriteFile(tree.roots.devFolder / "pts/5", "");
    WriteFile(tree.roots.mapFile, "COM9=" + tree.Dev("pts/5") + "\n");
    std::string pins;
    {
        PosixPortTable table(tree.roots, &warnings);
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

    PosixPortTable table(tree.roots, &warnings);
    std::vector<InstalledPort> ports;
    ASSERT_TRUE(table.ListPorts(ports));
    ASSERT_EQ(ports.size(), 3U);
    EXPECT_EQ(ports[0].name, "COM9");
    EXPECT_EQ(ports[1].name, "COM33");
    EXPECT_EQ(ports[1].devicePath, tree.ById());
    EXPECT_EQ(ports[2].name, "COM67");  // ttyUSB2 is not offered a second time as COM35
    EXPECT_NE(warnings.str().find("ttyUSB1 does not exist"), std::string::npos) << warnings.str();
}

TEST(ReplaceFile, ReplacesInOneStepAndLeavesTheOldFileOnFailure) {
    TempFolder tmp;
    const auto path = tmp.path() / "ports.conf";
    WriteFile(path, "old\n");
    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(path, "new\n", error)) << error;
    EXPECT_EQ(ReadFile(path), "new\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left beside it

    EXPECT_FALSE(ReplaceFileAtomically(tmp.path() / "missing/ports.conf", "x", error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

}  // namespace
}  // namespace vorenta::testing
