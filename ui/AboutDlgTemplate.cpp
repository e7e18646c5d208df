#include "ui/AboutDlgTemplate.h"

#include <string>

#include "ui/AboutDlgIds.h"
#include "ui/ContactInfo.h"

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

    auto add = [&t](int id, K kind, int x, int y, int w, int h, std::string_view text = {}) {
        t.controls.push_back(ControlTemplate{id, kind, x, y, w, h, std::string(text), false});
    };

    add(kNoControlId, K::Icon, 13, 12, 20, 20);
    add(about_ids::kProductLine, K::StaticCentred, 74, 8, 172, kLineHeight);
    add(about_ids::kVersionLine, K::StaticCentred, 74, 18, 172, kLineHeight);
    add(about_ids::kReleaseLine, K::StaticCentred, 74, 28, 172, kLineHeight);
    add(about_ids::kScopeNotice, K::StaticCentred, 14, 44, 291, 28);
    add(about_ids::kCopyrightLine, K::StaticCentred, 44, 76, 232, kLineHeight);
    add(kNoControlId, K::StaticCentred, 44, 86, 232, kLineHeight, contact::kRightsReserved);
    add(kNoControlId, K::GroupBox, 13, 108, 292, 100, "Contact information: ");
    add(kNoControlId, K::StaticLeft, kLabelX, 120, kLabelWidth, kLineHeight, "Phone:");
    add(kNoControlId, K::StaticLeft, kLabelX, 130, kLabelWidth, kLineHeight, "FAX:");
    add(kNoControlId, K::StaticLeft, kLabelX, 140, kLabelWidth, kLineHeight, "Web:");
    add(kNoControlId, K::StaticLeft, kLabelX, 150, kLabelWidth, kLineHeight, "Email:");
    add(kNoControlId, K::StaticLeft, kLabelX, 168, kLabelWidth, kLineHeight, "Hours:");
    add(kNoControlId, K::StaticLeft, kLabelX, 178, kLabelWidth, kLineHeight, "Address:");
    add(kNoControlId, K::StaticLeft, kValueX, 120, 63, kLineHeight, contact::kPhone);
    add(kNoControlId, K::StaticLeft, kValueX, 130, 63, kLineHeight, contact::kFax);
    add(about_ids::kWebLink, K::LinkText, kValueX, 140, 80, kLineHeight);
    add(about_ids::kSalesLink, K::LinkText, kValueX, 150, 84, kLineHeight);
    add(about_ids::kSupportLink, K::LinkText, kValueX, 158, 92, kLineHeight);
    add(kNoControlId, K::StaticLeft, kValueX, 168, 124, kLineHeight, contact::kOfficeHours);
    add(kNoControlId, K::StaticLeft, kValueX, 178, 116, 25, contact::kPostalAddress);
    add(about_ids::IDOK, K::DefaultPushButton, 124, 216, 69, 16, "OK");
    return t;
}

}  // namespace

const DialogTemplate& AboutDlgTemplate() {
    static const DialogTemplate tmpl = Build();
    return tmpl;
}

}  // namespace vorenta
