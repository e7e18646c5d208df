#include "ui/UpdateDlgTemplate.h"

#include <string>

#include "ui/UpdateDlgIds.h"

namespace vorenta {

namespace {

constexpr int kPortColumns = 11;
constexpr int kPortFirstX = 24;
constexpr int kPortColumnStep = 56;
constexpr int kPortRowOneY = 36;
constexpr int kPortRowTwoY = 52;
constexpr int kPortWidth = 36;
constexpr int kPortHeight = 10;

DialogTemplate Build() {
    using K = ControlKind;
    DialogTemplate t;
    t.id = ids::kUpdateTemplate;
    t.width = 647;
    t.height = 392;
    t.fontFace = kDialogFontFace;
    t.fontPointSize = kDialogFontPointSize;
    t.minimiseBox = true;

    auto add = [&t](int id, K kind, int x, int y, int w, int h, std::string text = {},
                    bool groupStart = false) {
        t.controls.push_back(ControlTemplate{id, kind, x, y, w, h, std::move(text), groupStart});
    };

    // Tab order: "Done", the port buttons, "Refresh Serial Ports", "Begin
    // Update", "Contact Information"; so the focus starts on "Done". No
    // button is the default one, so Enter on a port button does nothing.
    add(ids::IDCANCEL, K::PushButton, 453, 372, 100, 14, "Done");
    add(kNoControlId, K::GroupBox, 12, 24, 624, 44, "Serial Port: ");
    for (int i = 0; i < ids::kPortButtonCount; ++i) {
        const int column = i % kPortColumns;
        const int y = i < kPortColumns ? kPortRowOneY : kPortRowTwoY;
        add(ids::kFirstPortButton + i, K::RadioButton, kPortFirstX + kPortColumnStep * column, y,
            kPortWidth, kPortHeight, "COM" + std::to_string(i + 1), i == 0);
    }
    add(ids::kRefreshPorts, K::PushButton, 213, 372, 100, 14, "Refresh Serial Ports");
    add(ids::kBeginUpdate, K::PushButton, 333, 372, 100, 14, "Begin Update");
    add(ids::kContactInformation, K::PushButton, 93, 372, 100, 14, "Contact Information");

    add(ids::kUseForLine, K::StaticCentred, 11, 6, 624, 12);
    add(kNoControlId, K::GroupBox, 12, 80, 624, 180, "Instructions: ");
    add(ids::kLogo, K::Picture, 28, 92, 29, 25);
    add(ids::kLabelNotice, K::StaticCentredVertically, 60, 92, 560, 22);
    add(ids::kInstructions, K::StaticLeft, 28, 120, 592, 136);
    add(kNoControlId, K::GroupBox, 12, 272, 624, 92, "Firmware Update Status: ");
    add(ids::kFirmwareFileLine, K::StaticLeft, 20, 284, 608, 8, "Firmware file  =");
    add(ids::kFirmwareVersionLine, K::StaticLeft, 20, 296, 608, 8, "Firmware version  =  ");
    add(ids::kBootLoaderLine, K::StaticLeft, 20, 308, 608, 8);
    add(ids::kProgressLine, K::StaticLeft, 20, 320, 608, 8);
    add(ids::kStatusLine, K::StaticLeft, 20, 332, 608, 12);
    add(ids::kStepLine, K::StaticLeft, 20, 348, 608, 12);
    return t;
}

}  // namespace

const DialogTemplate& UpdateDlgTemplate() {
    static const DialogTemplate tmpl = Build();
    return tmpl;
}

}  // namespace vorenta
