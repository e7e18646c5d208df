#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/PortListText.h"
#include "serial/StaticPortTable.h"

namespace vorenta::test {
namespace {

// One installed port, and what the system says of its adapter.
class DescribedPort : public StaticPortTable {
  public:
    DescribedPort() : StaticPortTable({{3, "/dev/ttyFAKE3"}}) {}
    std::string DescribeDevice(const std::string&) override { return about; }
    std::string about;
};

TEST(PortListText, AnAdapterIsOnePrintableLineInALogAndIndentedLinesInAListing) {
    DescribedPort table;
    table.about = "FTDI FT232R (0403:6001)\n/dev/serial/by-id/usb-FTDI-if00\n";
    EXPECT_EQ(AdapterLine(table, "/dev/ttyFAKE3"),
              "FTDI FT232R (0403:6001); /dev/serial/by-id/usb-FTDI-if00");
    EXPECT_EQ(PortListText(table, {{"COM3", "/dev/ttyFAKE3"}}),
              "COM3   /dev/ttyFAKE3\n"
              "       FTDI FT232R (0403:6001)\n"
              "       /dev/serial/by-id/usb-FTDI-if00\n");

    // What a device calls itself reaches no terminal and no log as control characters.
    table.about = "Evil\x1b]0;x\x07\n\n";
    EXPECT_EQ(AdapterLine(table, "/dev/ttyFAKE3"), "Evil?]0;x?");
    EXPECT_EQ(PortListText(table, {{"COM3", "/dev/ttyFAKE3"}}),
              "COM3   /dev/ttyFAKE3\n       Evil?]0;x?\n       \n");

    table.about.clear();
    EXPECT_EQ(AdapterLine(table, "/dev/ttyFAKE3"), "");
}

}  // namespace
}  // namespace vorenta::test
