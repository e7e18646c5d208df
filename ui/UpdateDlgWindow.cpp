// The update window's own behaviour: initialisation, the colour rule, the
// window menu, "Done", Enter and teardown.
#include <string>

#include "common/ProductTexts.h"
#include "ui/Colours.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"
#include "ui/UpdateDlgTexts.h"
#include "ui/WindowPlacement.h"

namespace vorenta {

std::string AboutMenuItemText() {
    std::string text = std::string(texts::kAboutMenuItemPrefix) + std::string(texts::kProductName) +
                       std::string(texts::kAboutMenuItemSuffix);
    // A menu shows "&&" as one ampersand; the product name's own must show too.
    std::string doubled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, " & ") == 0) {
            doubled += " && ";
            i += 2;
        } else {
            doubled += text[i];
        }
    }
    return doubled;
}

bool CPLSM_UpdateDlg::OnInitDialog() {
    IWindowServices& window = window_;
    window.SetWindowTitle(std::string(texts::kProductName) +
                          std::string(texts::kWindowTitleSuffix));

    if (window.HasSystemMenu()) {
        window.AppendSystemMenuSeparator();
        window.AppendSystemMenuItem(ids::kSysCommandAbout, AboutMenuItemText());
    }

    const WindowRect placed = PlaceWindow(window.GetWindowRect(), window.GetScreenRect());
    window.MoveWindow(placed.left, placed.top);

    window.SetDlgItemText(ids::kLabelNotice, texts::kLabelNotice);
    window.SetDlgItemText(ids::kInstructions, texts::kInstructions);
    session.statusPromptText.clear();
    window.SetDlgItemText(ids::kUseForLine, texts::kUseForLine);

    firmware.LoadFirmwareDescription();

    window.SetDlgItemText(ids::kBootLoaderLine, "");
    window.SetDlgItemText(ids::kProgressLine, "");
    window.SetDlgItemText(ids::kStatusLine, "");
    window.SetDlgItemText(ids::kStepLine, "");

    ports.RefreshSerialPorts();

    session.updateActive = 0;
    session.moduleAnswered = 0;
    window.RefreshColours();
    timerId = window.SetTimer(ids::kUpdateTimerId, ids::kUpdateTimerPeriodMs);
    return true;
}

ControlStyle CPLSM_UpdateDlg::GetControlStyle(int controlId) const {
    ControlStyle emphasised;
    emphasised.emphasisFont = true;
    emphasised.customColour = true;
    emphasised.textColour = kEmphasisRed;
    emphasised.transparentBackground = true;

    switch (controlId) {
        case ids::kUseForLine:
        case ids::kLabelNotice:
            return emphasised;
        case ids::kStatusLine:
            return session.updateActive == 1 ? emphasised : ControlStyle{};
        case ids::kStepLine:
            emphasised.textColour = resultLineColour;
            return emphasised;
        default:
            return {};
    }
}

void CPLSM_UpdateDlg::OnSysCommand(unsigned commandId) {
    const DispatchScope dispatched(*this);
    const HandlerScope running(handlersRunning_);
    if ((commandId & 0xFFF0U) == ids::kSysCommandAbout) {
        window_.ShowAboutDialog();
    } else if ((commandId & 0xFFF0U) == ids::kSysCommandClose) {
        OnDone();
    }
}

void CPLSM_UpdateDlg::OnOK() {
    // Enter with no push button focused must neither close nor start anything.
}

void CPLSM_UpdateDlg::OnDone() {
    // Esc and the close box reach here even while "Done" is disabled; leaving
    // in the middle of a session could leave the module without firmware.
    if (session.updateActive != 0 || !window_.IsDlgItemEnabled(ids::IDCANCEL)) {
        return;
    }
    serialPort.Close();
    handoff.ReturnLentPort();
    window_.EndDialog(ids::IDCANCEL);
}

void CPLSM_UpdateDlg::OnDestroy() {
    if (timerId != 0) {
        window_.KillTimer(ids::kUpdateTimerId);
        timerId = 0;
    }
    serialPort.Close();
    pageImage.DeletePageImage();
}

}  // namespace vorenta
