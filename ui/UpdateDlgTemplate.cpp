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

    // Tab order: "Done", the port buttons, "Refresh Serial Ports", "Begin
    // Update", "Contact Information"; so the focus starts on "Done". No
    // button is the default one, so Enter on a port button does nothing.
    t.Add(ids::IDCANCEL, K::PushButton, 453, 372, 100, 14, "Done");
    t.Add(kNoControlId, K::GroupBox, 12, 24, 624, 44, "Serial Port: ");
    for (int i = 0; i < ids::kPortButtonCount; ++i) {
        const int column = i % kPortColumns;
        const int y = i < kPortColumns ? kPortRowOneY : kPortRowTwoY;
        t.Add(ids::kFirstPortButton + i, K::RadioButton, kPortFirstX + kPortColumnStep * column, y,
              kPortWidth, kPortHeight, "COM" + std::to_string(i + 1), i == 0);
    }
    t.Add(ids::kRefreshPorts, K::PushButton, 213, 372, 100, 14, "Refresh Serial Ports");
    t.Add(ids::kBeginUpdate, K::PushButton, 333, 372, 100, 14, "Begin Update");
    t.Add(ids::kContactInformation, K::PushButton, 93, 372, 100, 14, "Contact Information");

    t.Add(ids::kUseForLine, K::StaticCentred, 11, 6, 624, 12);
    t.Add(kNoControlId, K::GroupBox, 12, 80, 624, 180, "Instructions: ");
    t.Add(ids::kLogo, K::Picture, 28, 92, 29, 25);
    t.Add(ids::kLabelNotice, K::StaticCentredVertically, 60, 92, 560, 22);
    t.Add(ids::kInstructions, K::StaticLeft, 28, 120, 592, 136);
    t.Add(kNoControlId, K::GroupBox, 12, 272, 624, 92, "Firmware Update Status: ");
    t.Add(ids::kFirmwareFileLine, K::StaticLeft, 20, 284, 608, 8, "Firmware file  =");
    t.Add(ids::kFirmwareVersionLine, K::StaticLeft, 20, 296, 608, 8, "Firmware version  =  ");
    t.Add(ids::kBootLoaderLine, K::StaticLeft, 20, 308, 608, 8);
    t.Add(ids::kProgressLine, K::StaticLeft, 20, 320, 608, 8);
    t.Add(ids::kStatusLine, K::StaticLeft, 20, 332, 608, 12);
    t.Add(ids::kStepLine, K::StaticLeft, 20, 348, 608, 12);
    return t;
}

}  // namespace

const DialogTemplate& UpdateDlgTemplate() {
    static const DialogTemplate tmpl = Build();
    return tmpl;
}

}  // namespace vorenta
