#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "ui/AboutDlgIds.h"
#include "ui/AboutDlgTemplate.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTemplate.h"

namespace vorenta {
namespace {

bool TakesFocus(ControlKind k) {
    return k == ControlKind::PushButton || k == ControlKind::DefaultPushButton ||
           k == ControlKind::RadioButton;
}

void ExpectWellFormed(const DialogTemplate& t) {
    std::set<int> seen;
    for (const ControlTemplate& c : t.controls) {
        EXPECT_GE(c.x, 0) << c.id;
        EXPECT_GE(c.y, 0) << c.id;
        EXPECT_LE(c.x + c.width, t.width) << c.id;
        EXPECT_LE(c.y + c.height, t.height) << c.id;
        if (c.id != kNoControlId) {
            EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
            EXPECT_EQ(t.Find(c.id), &c);
        }
    }
    EXPECT_EQ(t.Find(kNoControlId), nullptr);
    EXPECT_EQ(t.fontFace, "MS Shell Dlg");
    EXPECT_EQ(t.fontPointSize, 8);
}

TEST(UpdateDlgTemplate, LayoutTabOrderAndPortGroup) {
    const DialogTemplate& t = UpdateDlgTemplate();
    EXPECT_EQ(t.id, 102);
    EXPECT_EQ(t.width, 647);
    EXPECT_EQ(t.height, 392);
    ExpectWellFormed(t);

    std::vector<int> focusOrder;
    for (const ControlTemplate& c : t.controls) {
        EXPECT_NE(c.kind, ControlKind::DefaultPushButton) << c.id;
        if (TakesFocus(c.kind)) {
            focusOrder.push_back(c.id);
        }
        if (c.kind == ControlKind::RadioButton) {
            EXPECT_EQ(c.groupStart, c.id == ids::kFirstPortButton) << c.id;
        }
    }
    std::vector<int> expected{ids::IDCANCEL};
    for (int id = ids::kFirstPortButton; id <= ids::kLastPortButton; ++id) {
        expected.push_back(id);
    }
    expected.insert(expected.end(),
                    {ids::kRefreshPorts, ids::kBeginUpdate, ids::kContactInformation});
    EXPECT_EQ(focusOrder, expected);

    const ControlTemplate* com12 = t.Find(2012);
    ASSERT_NE(com12, nullptr);
    EXPECT_EQ(com12->text, "COM12");
    EXPECT_EQ(com12->x, 24);
    EXPECT_EQ(com12->y, 52);
    const ControlTemplate* com11 = t.Find(2011);
    ASSERT_NE(com11, nullptr);
    EXPECT_EQ(com11->x, 24 + 56 * 10);
    EXPECT_EQ(com11->y, 36);
    EXPECT_EQ(t.Find(ids::kFirmwareFileLine)->text, "Firmware file  =");
    EXPECT_EQ(t.Find(ids::kLabelNotice)->kind, ControlKind::StaticCentredVertically);
}

TEST(AboutDlgTemplate, OkIsTheOnlyButtonAndLinksAreLinks) {
    const DialogTemplate& t = AboutDlgTemplate();
    EXPECT_EQ(t.id, 100);
    EXPECT_EQ(t.width, 318);
    EXPECT_EQ(t.height, 241);
    ExpectWellFormed(t);
    int focusable = 0;
    for (const ControlTemplate& c : t.controls) {
        focusable += TakesFocus(c.kind) ? 1 : 0;
    }
    EXPECT_EQ(focusable, 1);
    EXPECT_EQ(t.Find(about_ids::IDOK)->kind, ControlKind::DefaultPushButton);
    for (const int link : {about_ids::kWebLink, about_ids::kSalesLink, about_ids::kSupportLink}) {
        ASSERT_NE(t.Find(link), nullptr);
        EXPECT_EQ(t.Find(link)->kind, ControlKind::LinkText);
    }
}

}  // namespace
}  // namespace vorenta
