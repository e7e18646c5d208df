#include <gtest/gtest.h>

#include <string>

#include "UpdateRig.h"
#include "ui/Colours.h"
#include "ui/WindowPlacement.h"

namespace vorenta::test {
namespace {

TEST(UpdateWindow, InitialisationFillsTitleMenuTextsAndStartsTheTimer) {
    UpdateRig rig;
    rig.Init();
    const auto& host = rig.host;
    EXPECT_EQ(host.Title(), "Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Firmware Update");
    ASSERT_EQ(host.systemMenu.size(), 2U);
    EXPECT_EQ(host.systemMenu[0].commandId, 0U);  // separator
    EXPECT_EQ(host.systemMenu[1].commandId, ids::kSysCommandAbout);
    // Both ampersands show once in a menu: the product's and the one before "Contact".
    EXPECT_EQ(host.systemMenu[1].text,
              "About Vorenta KT7.6 VMM && DO-232 R2 Mobile Module Update && Contact "
              "Information...");
    EXPECT_EQ(host.Text(ids::kUseForLine).rfind("Use for updating Vorenta Vantor", 0), 0U);
    EXPECT_EQ(host.Text(ids::kInstructions).rfind("Procedure for Updating", 0), 0U);
    EXPECT_EQ(host.Text(ids::kFirmwareVersionLine), "Firmware version  =  2.1.7");
    EXPECT_EQ(host.Text(ids::kFirmwareFileLine).rfind("Firmware file  =  module.bin     (", 0), 0U);
    for (const int id :
         {ids::kBootLoaderLine, ids::kProgressLine, ids::kStatusLine, ids::kStepLine}) {
        EXPECT_EQ(host.Text(id), "");
    }
    EXPECT_EQ(host.timers.at(ids::kUpdateTimerId), 500U);
    EXPECT_NE(rig.dlg.timerId, 0U);
    EXPECT_TRUE(host.Enabled(ids::kBeginUpdate));

    rig.dlg.OnDestroy();
    EXPECT_TRUE(host.timers.empty());
}

TEST(UpdateWindow, WithoutASystemMenuTheAboutItemIsLeftOut) {
    UpdateRig rig;
    rig.host.hasSystemMenu = false;
    rig.Init();
    EXPECT_TRUE(rig.host.systemMenu.empty());
    rig.host.Click(ids::kContactInformation);
    EXPECT_EQ(rig.host.aboutDialogsShown, 1);
}

TEST(UpdateWindow, PlacementCentresAndMayGoNegative) {
    const WindowRect window{0, 0, 1100, 800};
    EXPECT_EQ(PlaceWindow(window, {0, 0, 1920, 1080}).left, 410);
    EXPECT_EQ(PlaceWindow(window, {0, 0, 1920, 1080}).top, 70);
    // Truncated toward zero: (1000 - 1100) / 2 = -50, (600 - 800) / 4 = -50; (1001-1100)/2 = -49.
    EXPECT_EQ(PlaceWindow(window, {0, 0, 1000, 600}).left, -50);
    EXPECT_EQ(PlaceWindow(window, {0, 0, 1000, 600}).top, -50);
    EXPECT_EQ(PlaceWindow(window, {0, 0, 1001, 603}).left, -49);
    EXPECT_EQ(PlaceWindow(window, {0, 0, 1001, 603}).top, -49);
}

TEST(UpdateWindow, ColourRuleFollowsTheControlAndTheSession) {
    UpdateRig rig;
    rig.Init();
    for (const int id : {ids::kUseForLine, ids::kLabelNotice}) {
        const ControlStyle style = rig.dlg.GetControlStyle(id);
        EXPECT_TRUE(style.emphasisFont);
        EXPECT_EQ(style.textColour, Rgb(192, 0, 0));
        EXPECT_TRUE(style.transparentBackground);
    }
    EXPECT_FALSE(rig.dlg.GetControlStyle(ids::kStatusLine).customColour);
    EXPECT_FALSE(rig.dlg.GetControlStyle(ids::kFirmwareFileLine).customColour);
    rig.dlg.resultLineColour = Rgb(1, 2, 3);
    EXPECT_EQ(rig.dlg.GetControlStyle(ids::kStepLine).textColour, Rgb(1, 2, 3));
    EXPECT_TRUE(rig.dlg.GetControlStyle(ids::kStepLine).emphasisFont);

    rig.module.answerAtPoll = 1000;
    rig.BeginUpdate();
    EXPECT_EQ(rig.dlg.GetControlStyle(ids::kStatusLine).textColour, kEmphasisRed);
    EXPECT_EQ(rig.dlg.resultLineColour, kStepLineGreen);
    rig.BeginUpdate();  // cancel
    EXPECT_FALSE(rig.dlg.GetControlStyle(ids::kStatusLine).customColour);
}

TEST(UpdateWindow, EnterNeverClosesOrStarts) {
    UpdateRig rig;
    rig.Init();
    rig.dlg.OnCommand(ids::IDOK);
    EXPECT_FALSE(rig.host.endResult.has_value());
    EXPECT_EQ(rig.dlg.session.updateActive, 0);
    EXPECT_FALSE(rig.device.IsOpen());
}

TEST(UpdateWindow, WithoutDescriptionFileBeginUpdateStaysDisabled) {
    UpdateRig rig;
    std::filesystem::remove(rig.programDir / "Vorenta_KT76_MM_VMM_V2.txt");
    rig.Init();
    EXPECT_EQ(rig.host.Text(ids::kFirmwareFileLine), "");  // the template's text is the host's
    EXPECT_EQ(rig.host.Text(ids::kFirmwareVersionLine), "Firmware version  =  ");
    EXPECT_FALSE(rig.host.Enabled(ids::kBeginUpdate));
    rig.host.Click(ids::kRefreshPorts);
    EXPECT_FALSE(rig.host.Enabled(ids::kBeginUpdate));
    EXPECT_FALSE(rig.BeginUpdate());
}

}  // namespace
}  // namespace vorenta::test
