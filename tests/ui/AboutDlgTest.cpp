#include "ui/AboutDlg.h"

#include <gtest/gtest.h>

#include <string>

#include "RecordingWindow.h"
#include "ui/AboutDlgIds.h"
#include "ui/ContactInfo.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {
namespace {

using testing::RecordingLinkOpener;
using testing::RecordingWindow;

class AboutDlgTest : public ::testing::Test {
  protected:
    RecordingWindow window;
    RecordingLinkOpener links;
    CAboutDlg dlg{window, links};

    std::vector<std::string> Click(std::string_view text, unsigned message = wm::LButtonDown) {
        links.opened.clear();
        EXPECT_EQ(dlg.OpenContactLink(message, text), 0);
        return links.opened;
    }
};

TEST_F(AboutDlgTest, InitialisationFillsTitleAndTexts) {
    window.window = {0, 0, 477, 392};
    window.screen = {0, 0, 1024, 768};
    EXPECT_TRUE(dlg.OnInitDialog());

    EXPECT_EQ(window.title, "About Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Update");
    EXPECT_EQ(window.window.left, (1024 - 477) / 2);
    EXPECT_EQ(window.window.top, (768 - 392) / 4);
    EXPECT_EQ(window.texts[about_ids::kProductLine], "Vorenta Mobile Module Firmware Update");
    EXPECT_EQ(window.texts[about_ids::kVersionLine], "Version 2.0.0.61");
    EXPECT_EQ(window.texts[about_ids::kReleaseLine], "Released February 6, 2018");
    EXPECT_EQ(window.texts[about_ids::kCopyrightLine], contact::kCopyright);
    EXPECT_EQ(window.texts[about_ids::kScopeNotice],
              "This utility can only be used to update the Vorenta Vantor\n"
              "& DO-232 R2 Mobile Modules that contain the KT7.6 Radio Module.\n"
              "This update uses a wireless link from a Vorenta Base.");
    EXPECT_EQ(window.texts[about_ids::kWebLink], contact::kWebHost);
    EXPECT_EQ(window.texts[about_ids::kSalesLink], contact::kSalesEmail);
    EXPECT_EQ(window.texts[about_ids::kSupportLink], contact::kSupportEmail);
}

TEST_F(AboutDlgTest, LeftPressOpensMailOrWebTarget) {
    const std::string sales(contact::kSalesEmail);
    const std::string support(contact::kSupportEmail);
    const std::string web(contact::kWebHost);
    using V = std::vector<std::string>;
    EXPECT_EQ(Click(sales), V{"mailto:" + sales + "?Subject=Firmware Update Program"});
    EXPECT_EQ(Click(support), V{"mailto:" + support + "?Subject=Firmware Update Program"});
    EXPECT_EQ(Click(web), V{"http://" + web});
    // Substring tests in order sales, support, web.
    EXPECT_EQ(Click(support + " " + sales),
              V{"mailto:" + sales + "?Subject=Firmware Update Program"});
    EXPECT_EQ(Click("write to " + support + " or see " + web),
              V{"mailto:" + support + "?Subject=Firmware Update Program"});
}

TEST_F(AboutDlgTest, OtherMouseActionsAndUnknownTextsOpenNothing) {
    const std::string sales(contact::kSalesEmail);
    EXPECT_TRUE(Click(sales, wm::MouseMove).empty());
    EXPECT_TRUE(Click(sales, wm::LButtonUp).empty());
    EXPECT_TRUE(Click(sales, wm::RButtonDown).empty());
    EXPECT_TRUE(Click("nobody@elsewhere.invalid").empty());
    EXPECT_TRUE(Click("").empty());
}

TEST_F(AboutDlgTest, FailedOpenIsSilentAndDialogStays) {
    links.result = false;
    EXPECT_EQ(Click(std::string(contact::kWebHost)).size(), 1U);
    EXPECT_TRUE(window.endResults.empty());
}

TEST_F(AboutDlgTest, FocusGoesToOkAndOkOrEscEnd) {
    EXPECT_EQ(dlg.OnLinkFocus(about_ids::kSalesLink), about_ids::IDOK);
    dlg.OnCommand(about_ids::kWebLink);
    dlg.OnTimer(10);
    EXPECT_TRUE(window.endResults.empty());
    dlg.OnCommand(about_ids::IDOK);
    dlg.OnCommand(about_ids::IDCANCEL);
    dlg.OnSysCommand(ids::kSysCommandClose);
    EXPECT_EQ(window.endResults, (std::vector<int>{1, 2, 2}));
}

}  // namespace
}  // namespace vorenta
