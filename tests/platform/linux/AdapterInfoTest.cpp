#include <gtest/gtest.h>

#include "platform/linux/AdapterInfo.h"
#include "platform/linux/LinuxPortTable.h"
#include "serial/PortListText.h"
#include "tests/platform/linux/FakeSystemTree.h"

namespace vorenta::testing {
namespace {

class AdapterInfoTest : public ::testing::Test {
  protected:
    FakeSystemTree tree;
};

TEST_F(AdapterInfoTest, ReadsTheDriverAndFindsTheDeviceFromItsStableName) {
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

TEST_F(AdapterInfoTest, NothingIsInventedForDevicesWithoutSysfsEntries) {
    WriteFile(tree.roots.devFolder / "ttyS0", "");
    EXPECT_EQ(ReadAdapterInfo(tree.Dev("ttyS0"), tree.roots).Describe(), "");
    EXPECT_EQ(ReadAdapterInfo(tree.Dev("ttyUSB9"), tree.roots).Describe(), "");
}

TEST_F(AdapterInfoTest, StringsFromTheDeviceCannotDriveTheTerminal) {
    const auto product = tree.tmp.path() / "sys/devices/pci0000:00/usb1/1-2/product";
    WriteFile(product, "Evil\x1b]0;title\x07 Serial\n");
    // The platform passes the device's words on as they are...
    EXPECT_EQ(ReadAdapterInfo(tree.Dev("ttyUSB1"), tree.roots).product,
              "Evil\x1b]0;title\x07 Serial");
    // ...and every place that shows them makes them printable.
    LinuxPortTable table(tree.roots);
    const std::vector<InstalledPort> ports{{"COM33", tree.Dev("ttyUSB1")}};
    const std::string listed = PortListText(table, ports);
    EXPECT_NE(listed.find("Evil?]0;title? Serial"), std::string::npos) << listed;
    EXPECT_EQ(listed.find('\x1b'), std::string::npos);
    EXPECT_EQ(AdapterLine(table, tree.Dev("ttyUSB1")).find('\x1b'), std::string::npos);
}

}  // namespace
}  // namespace vorenta::testing
