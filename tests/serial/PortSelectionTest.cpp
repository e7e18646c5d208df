#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ports/PortsTestSupport.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta::testing {
namespace {

constexpr int kButton = ids::kFirstPortButton;

class PortSelection : public ::testing::Test {
  protected:
    void SetUp() override { w.dlg.firmware.firmwareFileName = "VMM_V2.hex"; }

    std::vector<std::string> ShownCaptions() const {
        std::vector<std::string> captions;
        for (int id = kButton; id <= ids::kLastPortButton; ++id) {
            if (w.host.Visible(id)) {
                captions.push_back(w.host.Text(id));
            }
        }
        return captions;
    }
    int Checked() const { return w.host.GetCheckedRadioButton(kButton, ids::kLastPortButton); }
    int SavedPort() const {
        const auto it = w.settings.values.find(MemorySettingsStore::Key("Settings", "ComPort"));
        return it == w.settings.values.end() ? -1 : it->second;
    }

    WindowUnderTest w;
};

TEST_F(PortSelection, ShowsInstalledPortsAscendingInTheFirstSlots) {
    for (const char* name : {"COM3", "com12", "COM1", "COM101", "LPT1", "COM03", " COM4", "COM"}) {
        w.ports.Add(name);
    }
    w.dlg.ports.RefreshSerialPorts();

    EXPECT_EQ(ShownCaptions(), (std::vector<std::string>{"COM1", "COM3", "COM12"}));
    EXPECT_EQ(w.dlg.ports.portNumbers[0], 1);
    EXPECT_EQ(w.dlg.ports.portNumbers[1], 3);
    EXPECT_EQ(w.dlg.ports.portNumbers[2], 12);
    for (int i = 3; i < ids::kPortButtonCount; ++i) {
        EXPECT_EQ(w.dlg.ports.portNumbers[i], -1) << i;
        EXPECT_FALSE(w.host.Visible(kButton + i)) << i;
        EXPECT_FALSE(w.host.Enabled(kButton + i)) << i;
    }
    EXPECT_EQ(w.dlg.ports.portPresent[11], 1);
    EXPECT_EQ(w.dlg.ports.portPresent[3], 0);  // " COM4" is not a whole match
    EXPECT_TRUE(w.host.messageBoxes.empty());
}

TEST_F(PortSelection, OffersOnlyTheLowestTwentyTwo) {
    for (int n = 25; n >= 1; --n) {
        w.ports.Add("COM" + std::to_string(n));
    }
    w.dlg.ports.RefreshSerialPorts();

    const auto captions = ShownCaptions();
    ASSERT_EQ(captions.size(), 22U);
    EXPECT_EQ(captions.front(), "COM1");
    EXPECT_EQ(captions.back(), "COM22");
    EXPECT_EQ(w.dlg.ports.portPresent[24], 1);
}

TEST_F(PortSelection, ButtonsShowTheirDevicePathAndTheLogNamesIt) {
    w.ports.listed = {{"COM33", "/dev/ttyUSB0"}, {"COM1", "/dev/ttyS0"}};
    w.host.SetDlgItemTooltip(kButton + 5, "stale");
    w.dlg.ports.RefreshSerialPorts();

    EXPECT_EQ(w.host.ControlAt(kButton).tooltip, "/dev/ttyS0");
    EXPECT_EQ(w.host.ControlAt(kButton + 1).tooltip, "/dev/ttyUSB0");
    EXPECT_EQ(w.host.ControlAt(kButton + 5).tooltip, "");
    EXPECT_EQ(w.host.logLines,
              (std::vector<std::string>{"COM1 = /dev/ttyS0", "COM33 = /dev/ttyUSB0"}));
}

TEST_F(PortSelection, TooltipsSayWhichAdapterIsWhich) {
    w.ports.listed = {{"COM33", "/dev/ttyUSB0"}, {"COM1", "/dev/ttyS0"}};
    w.ports.adapters["/dev/ttyUSB0"] =
        "FTDI FT232R USB UART (0403:6001, serial A5)\n/dev/serial/by-id/usb-FTDI-if00";
    w.dlg.ports.RefreshSerialPorts();

    EXPECT_EQ(w.host.ControlAt(kButton).tooltip, "/dev/ttyS0");
    EXPECT_EQ(w.host.ControlAt(kButton + 1).tooltip,
              "/dev/ttyUSB0\nFTDI FT232R USB UART (0403:6001, serial A5)\n"
              "/dev/serial/by-id/usb-FTDI-if00");

    // What a device calls itself never reaches the tooltip as control characters.
    w.ports.adapters["/dev/ttyUSB0"] = "Evil\x1b]0;title\x07 Serial";
    w.dlg.ports.RefreshSerialPorts();
    EXPECT_EQ(w.host.ControlAt(kButton + 1).tooltip, "/dev/ttyUSB0\nEvil?]0;title? Serial");
}

TEST_F(PortSelection, UnopenablePortsMessageCarriesTheReasonBelowTheUsualLine) {
    w.ports.listed = {{"COM33", "/dev/ttyUSB0"}};
    w.dlg.ports.RefreshSerialPorts();
    w.ports.openFailure = "held by minicom";
    w.dlg.OnBeginUpdate();
    ASSERT_FALSE(w.host.messageBoxes.empty());
    EXPECT_EQ(w.host.messageBoxes.back().text,
              "Unable to open serial port COM33     \n\nheld by minicom (COM33, /dev/ttyUSB0)");

    // The names of other programs in it are made printable.
    w.ports.openFailure = "held by \x1b[2Jminicom";
    w.dlg.OnBeginUpdate();
    EXPECT_EQ(w.host.messageBoxes.back().text,
              "Unable to open serial port COM33     \n\nheld by ?[2Jminicom (COM33, /dev/ttyUSB0)");

    // With nothing to add, the message stays as it always was.
    w.ports.openFailure.clear();
    w.dlg.OnBeginUpdate();
    EXPECT_EQ(w.host.messageBoxes.back().text, "Unable to open serial port COM33     ");
}

TEST_F(PortSelection, SavedPortIsCheckedWhenInstalledElseTheLowest) {
    w.ports.Add("COM1");
    w.ports.Add("COM12");
    w.settings.values[MemorySettingsStore::Key("Settings", "ComPort")] = 12;
    w.dlg.ports.RefreshSerialPorts();
    EXPECT_EQ(Checked(), kButton + 1);
    EXPECT_EQ(w.dlg.ports.GetSelectedPortNumber(), 12);
    EXPECT_TRUE(w.host.Enabled(ids::kBeginUpdate));

    w.ports.listed.pop_back();
    w.dlg.ports.RefreshSerialPorts();
    EXPECT_EQ(Checked(), kButton);
    EXPECT_EQ(w.dlg.ports.GetSelectedPortNumber(), 1);
    EXPECT_EQ(SavedPort(), 12);  // falling back does not change the saved port
    EXPECT_EQ(w.settings.writes, 0);
}

TEST_F(PortSelection, CommandLinePortWinsOverTheSavedOneAndIsNotSaved) {
    w.ports.Add("COM2");
    w.ports.Add("COM5");
    w.ports.Add("COM7");
    w.settings.values[MemorySettingsStore::Key("Settings", "ComPort")] = 5;
    w.preferredPort = 7;
    w.dlg.ports.RefreshSerialPorts();

    EXPECT_EQ(w.dlg.ports.GetSelectedPortNumber(), 7);
    EXPECT_EQ(w.settings.reads, 0);
    EXPECT_EQ(w.settings.writes, 0);
    EXPECT_EQ(SavedPort(), 5);

    // Read again at every refresh: a port not installed falls back to the lowest.
    w.preferredPort = 9;
    w.dlg.ports.RefreshSerialPorts();
    EXPECT_EQ(w.dlg.ports.GetSelectedPortNumber(), 2);
}

TEST_F(PortSelection, BeginUpdateNeedsACheckedPortAndAFirmwareFile) {
    w.ports.Add("COM4");
    w.dlg.firmware.firmwareFileName.clear();
    w.dlg.ports.RefreshSerialPorts();
    EXPECT_EQ(w.dlg.ports.GetSelectedPortNumber(), 4);
    EXPECT_FALSE(w.host.Enabled(ids::kBeginUpdate));

    // No ports at all: no message, nothing checked, still disabled.
    w.dlg.firmware.firmwareFileName = "VMM_V2.hex";
    w.ports.listed.clear();
    w.host.EnableDlgItem(ids::kBeginUpdate, true);
    w.dlg.ports.RefreshSerialPorts();
    EXPECT_EQ(Checked(), 0);
    EXPECT_EQ(w.dlg.ports.GetSelectedPortNumber(), -1);
    EXPECT_FALSE(w.host.Enabled(ids::kBeginUpdate));
    EXPECT_TRUE(ShownCaptions().empty());
    EXPECT_TRUE(w.host.messageBoxes.empty());
}

TEST_F(PortSelection, RefreshAfterAPortAppearsRecomputesTheCheckMark) {
    w.ports.Add("COM5");
    w.ports.Add("COM8");
    w.dlg.ports.RefreshSerialPorts();
    w.host.CheckRadioButton(kButton, ids::kLastPortButton, kButton + 1);  // operator picks COM8
    ASSERT_EQ(w.dlg.ports.GetSelectedPortNumber(), 8);

    w.ports.Add("COM6");
    w.dlg.ports.RefreshSerialPorts();
    EXPECT_EQ(ShownCaptions(), (std::vector<std::string>{"COM5", "COM6", "COM8"}));
    EXPECT_EQ(Checked(), kButton);  // the operator's choice is not kept
    EXPECT_EQ(w.dlg.ports.GetSelectedPortNumber(), 5);
}

TEST_F(PortSelection, UnreadableListShowsTheMessageAndNoButtons) {
    w.ports.Add("COM1");
    w.dlg.ports.RefreshSerialPorts();
    w.ports.readable = false;
    w.dlg.ports.RefreshSerialPorts();

    ASSERT_EQ(w.host.messageBoxes.size(), 1U);
    EXPECT_EQ(w.host.messageBoxes[0].text,
              "There are no serial ports installed on this computer.     ");
    EXPECT_EQ(w.host.messageBoxes[0].caption, "PLSM_Update");
    EXPECT_EQ(w.host.messageBoxes[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(ShownCaptions().empty());
    EXPECT_EQ(w.host.ControlAt(kButton).tooltip, "");
    EXPECT_EQ(Checked(), 0);
    EXPECT_FALSE(w.host.Enabled(ids::kBeginUpdate));
}

TEST_F(PortSelection, RefreshResetsTheInformationLinesUnderAWaitCursor) {
    w.dlg.firmware.firmwareVersion = "2.14";
    for (int id : {ids::kBootLoaderLine, ids::kProgressLine, ids::kStatusLine}) {
        w.host.SetDlgItemText(id, "old");
    }
    int depthDuringList = -1;
    w.ports.Add("COM1");
    w.ports.onList = [&] { depthDuringList = w.host.waitCursorDepth; };
    w.dlg.ports.RefreshSerialPorts();

    EXPECT_EQ(w.host.Text(ids::kFirmwareVersionLine), "Firmware version  =  2.14");
    EXPECT_EQ(w.host.Text(ids::kBootLoaderLine), "");
    EXPECT_EQ(w.host.Text(ids::kProgressLine), "");
    EXPECT_EQ(w.host.Text(ids::kStatusLine), "");
    EXPECT_EQ(depthDuringList, 1);
    EXPECT_EQ(w.host.waitCursorDepth, 0);
}

TEST_F(PortSelection, EnablePortButtonsTouchesOnlyFilledSlots) {
    w.ports.Add("COM1");
    w.ports.Add("COM2");
    w.dlg.ports.RefreshSerialPorts();
    w.host.EnableDlgItem(kButton + 1, false);  // as during a session
    w.host.CheckRadioButton(kButton, ids::kLastPortButton, kButton);

    w.dlg.ports.EnablePortButtons();
    EXPECT_TRUE(w.host.Enabled(kButton + 1));
    EXPECT_FALSE(w.host.Enabled(kButton + 2));
    EXPECT_FALSE(w.host.Visible(kButton + 2));
    EXPECT_EQ(Checked(), kButton);
}

TEST_F(PortSelection, SavePortNumberWritesTheSettingAndLogsAFailure) {
    w.dlg.ports.SavePortNumber(4);
    EXPECT_EQ(SavedPort(), 4);
    EXPECT_TRUE(w.host.logLines.empty());

    w.settings.writable = false;
    w.dlg.ports.SavePortNumber(6);
    ASSERT_EQ(w.host.logLines.size(), 1U);
    EXPECT_NE(w.host.logLines[0].find("COM6"), std::string::npos);
}

}  // namespace
}  // namespace vorenta::testing
