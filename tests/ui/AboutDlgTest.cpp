#include "ui/AboutDlg.h"

#include <gtest/gtest.h>

#include <string>

#include "common/ContactInfo.h"
#include "ui/AboutDlgIds.h"
#include "ui/HeadlessWindowHost.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {
namespace {

class RecordingLinkOpener : public ILinkOpener {
  public:
    bool OpenLink(std::string_view target) override {
        opened.emplace_back(target);
        return result;
    }
    std::vector<std::string> opened;
    bool result = true;
};

class AboutDlgTest : public ::testing::Test {
  protected:
    HeadlessWindowHost window;
    RecordingLinkOpener links;
    CAboutDlg dlg{window, links};

    std::vector<std::string> Click(std::string_view text, unsigned message = wm::LButtonDown) {
        links.opened.clear();
        EXPECT_EQ(dlg.OpenContactLink(message, text), 0);
        return links.opened;
    }
};

TEST_F(AboutDlgTest, InitialisationFillsTitleAndTexts) {
    window.windowRect = {0, 0, 477, 392};
    window.screenRect = {0, 0, 1024, 768};
    EXPECT_TRUE(dlg.OnInitDialog());

    EXPECT_EQ(window.Title(), "About Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Update");
    EXPECT_EQ(window.windowRect.left, (1024 - 477) / 2);
    EXPECT_EQ(window.windowRect.top, (768 - 392) / 4);
    EXPECT_EQ(window.windowRect.width, 477);
    EXPECT_EQ(window.Text(about_ids::kProductLine), "Vorenta Mobile Module Firmware Update");
    EXPECT_EQ(window.Text(about_ids::kVersionLine), "Version 2.0.0.61");
    EXPECT_EQ(window.Text(about_ids::kReleaseLine), "Released February 6, 2018");
    EXPECT_EQ(window.Text(about_ids::kCopyrightLine), contact::kCopyright);
    EXPECT_EQ(window.Text(about_ids::kScopeNotice),
              "This utility can only be used to update the Vorenta Vantor\n"
              "& DO-232 R2 Mobile Modules that contain the KT7.6 Radio Module.\n"
              "This update uses a wireless link from a Vorenta Base.");
    EXPECT_EQ(window.Text(about_ids::kWebLink), contact::kWebHost);
    EXPECT_EQ(window.Text(about_ids::kSalesLink), contact::kSalesEmail);
    EXPECT_EQ(window.Text(about_ids::kSupportLink), contact::kSupportEmail);
}

TEST_F(AboutDlgTest, ScreenSmallerThanDialogGivesNegativeEdges) {
    window.windowRect = {30, 40, 477, 392};
    window.screenRect = {0, 0, 400, 300};
    dlg.OnInitDialog();
    EXPECT_EQ(window.windowRect.left, -38);  // -77 / 2, truncated toward zero
    EXPECT_EQ(window.windowRect.top, -23);   // -92 / 4
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
    EXPECT_FALSE(window.endResult.has_value());
}

TEST_F(AboutDlgTest, FocusGoesToOkAndOkOrEscEnd) {
    EXPECT_EQ(dlg.OnLinkFocus(about_ids::kSalesLink), about_ids::IDOK);
    dlg.OnCommand(about_ids::kWebLink);
    dlg.OnTimer(10);
    EXPECT_FALSE(window.endResult.has_value());
    dlg.OnCommand(about_ids::IDOK);
    EXPECT_EQ(window.endResult, 1);
    dlg.OnCommand(about_ids::IDCANCEL);
    EXPECT_EQ(window.endResult, 2);
    window.endResult.reset();
    dlg.OnSysCommand(ids::kSysCommandClose);
    EXPECT_EQ(window.endResult, 2);
}

}  // namespace
}  // namespace vorenta
