#include "ui/AboutDlgTemplate.h"

#include <string>

#include "common/ContactInfo.h"
#include "ui/AboutDlgIds.h"

namespace vorenta {

namespace {

constexpr int kLabelX = 80;
constexpr int kLabelWidth = 38;
constexpr int kLineHeight = 8;
constexpr int kValueX = 120;

DialogTemplate Build() {
    using K = ControlKind;
    DialogTemplate t;
    t.id = about_ids::kAboutTemplate;
    t.width = 318;
    t.height = 241;
    t.fontFace = kDialogFontFace;
    t.fontPointSize = kDialogFontPointSize;

    t.Add(kNoControlId, K::Icon, 13, 12, 20, 20);
    t.Add(about_ids::kProductLine, K::StaticCentred, 74, 8, 172, kLineHeight);
    t.Add(about_ids::kVersionLine, K::StaticCentred, 74, 18, 172, kLineHeight);
    t.Add(about_ids::kReleaseLine, K::StaticCentred, 74, 28, 172, kLineHeight);
    t.Add(about_ids::kScopeNotice, K::StaticCentred, 14, 44, 291, 28);
    t.Add(about_ids::kCopyrightLine, K::StaticCentred, 44, 76, 232, kLineHeight);
    t.Add(kNoControlId, K::StaticCentred, 44, 86, 232, kLineHeight, contact::kRightsReserved);
    t.Add(kNoControlId, K::GroupBox, 13, 108, 292, 100, "Contact information: ");
    t.Add(kNoControlId, K::StaticLeft, kLabelX, 120, kLabelWidth, kLineHeight, "Phone:");
    t.Add(kNoControlId, K::StaticLeft, kLabelX, 130, kLabelWidth, kLineHeight, "FAX:");
    t.Add(kNoControlId, K::StaticLeft, kLabelX, 140, kLabelWidth, kLineHeight, "Web:");
    t.Add(kNoControlId, K::StaticLeft, kLabelX, 150, kLabelWidth, kLineHeight, "Email:");
    t.Add(kNoControlId, K::StaticLeft, kLabelX, 168, kLabelWidth, kLineHeight, "Hours:");
    t.Add(kNoControlId, K::StaticLeft, kLabelX, 178, kLabelWidth, kLineHeight, "Address:");
    t.Add(kNoControlId, K::StaticLeft, kValueX, 120, 63, kLineHeight, contact::kPhone);
    t.Add(kNoControlId, K::StaticLeft, kValueX, 130, 63, kLineHeight, contact::kFax);
    t.Add(about_ids::kWebLink, K::LinkText, kValueX, 140, 80, kLineHeight);
    t.Add(about_ids::kSalesLink, K::LinkText, kValueX, 150, 84, kLineHeight);
    t.Add(about_ids::kSupportLink, K::LinkText, kValueX, 158, 92, kLineHeight);
    t.Add(kNoControlId, K::StaticLeft, kValueX, 168, 124, kLineHeight, contact::kOfficeHours);
    t.Add(kNoControlId, K::StaticLeft, kValueX, 178, 116, 25, contact::kPostalAddress);
    t.Add(about_ids::IDOK, K::DefaultPushButton, 124, 216, 69, 16, "OK");
    return t;
}

}  // namespace

const DialogTemplate& AboutDlgTemplate() {
    static const DialogTemplate tmpl = Build();
    return tmpl;
}

}  // namespace vorenta
