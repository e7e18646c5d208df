#include "ui/AboutDlg.h"

#include <string>

#include "common/ContactInfo.h"
#include "common/ProductTexts.h"
#include "ui/AboutDlgIds.h"
#include "ui/UpdateDlgIds.h"
#include "ui/WindowPlacement.h"

namespace vorenta {

namespace {

constexpr std::string_view kTitlePrefix = "About ";
constexpr std::string_view kTitleSuffix = " Update";
constexpr std::string_view kProductLine = "Vorenta Mobile Module";
constexpr std::string_view kProductLineSuffix = " Firmware Update";
constexpr std::string_view kVersionPrefix = "Version ";
constexpr std::string_view kAboutVersion = "2.0.0.61";
constexpr std::string_view kReleasedPrefix = "Released ";
constexpr std::string_view kReleaseDate = "February 6, 2018";
constexpr std::string_view kScopeNotice =
    "This utility can only be used to update the Vorenta Vantor\n"
    "& DO-232 R2 Mobile Modules that contain the KT7.6 Radio Module.\n"
    "This update uses a wireless link from a Vorenta Base.";
constexpr std::string_view kMailScheme = "mailto:";
constexpr std::string_view kMailSubject = "?Subject=Firmware Update Program";
constexpr std::string_view kWebScheme = "http://";

std::string Join(std::string_view a, std::string_view b, std::string_view c = {}) {
    std::string s;
    s.reserve(a.size() + b.size() + c.size());
    s.append(a).append(b).append(c);
    return s;
}

// An empty address (a blank build setting) must not match every click.
bool Holds(std::string_view text, std::string_view address) {
    return !address.empty() && text.find(address) != std::string_view::npos;
}

}  // namespace

CAboutDlg::CAboutDlg(IWindowServices& window, ILinkOpener& links)
    : window_(window), links_(links) {}

bool CAboutDlg::OnInitDialog() {
    const WindowRect placed = PlaceWindow(window_.GetWindowRect(), window_.GetScreenRect());
    window_.MoveWindow(placed.left, placed.top);
    window_.SetWindowTitle(Join(kTitlePrefix, texts::kProductName, kTitleSuffix));
    window_.SetDlgItemText(about_ids::kProductLine, Join(kProductLine, kProductLineSuffix));
    window_.SetDlgItemText(about_ids::kVersionLine, Join(kVersionPrefix, kAboutVersion));
    window_.SetDlgItemText(about_ids::kReleaseLine, Join(kReleasedPrefix, kReleaseDate));
    window_.SetDlgItemText(about_ids::kCopyrightLine, contact::kCopyright);
    window_.SetDlgItemText(about_ids::kScopeNotice, kScopeNotice);
    // The link controls draw their whole text as a link (template kind).
    window_.SetDlgItemText(about_ids::kWebLink, contact::kWebHost);
    window_.SetDlgItemText(about_ids::kSalesLink, contact::kSalesEmail);
    window_.SetDlgItemText(about_ids::kSupportLink, contact::kSupportEmail);
    return true;
}

long CAboutDlg::OpenContactLink(unsigned mouseMessage, std::string_view clickedText) {
    if (mouseMessage != wm::LButtonDown) {
        return 0;
    }
    // Substring tests in this order: a text holding both addresses opens sales.
    std::string target;
    if (Holds(clickedText, contact::kSalesEmail)) {
        target = Join(kMailScheme, contact::kSalesEmail, kMailSubject);
    } else if (Holds(clickedText, contact::kSupportEmail)) {
        target = Join(kMailScheme, contact::kSupportEmail, kMailSubject);
    } else if (Holds(clickedText, contact::kWebHost)) {
        target = Join(kWebScheme, contact::kWebHost);
    } else {
        return 0;
    }
    // No program registered for the scheme: nothing to tell the operator.
    links_.OpenLink(target);
    return 0;
}

int CAboutDlg::OnLinkFocus(int /*linkId*/) const {
    return about_ids::IDOK;
}

void CAboutDlg::OnCommand(int controlId) {
    if (controlId == about_ids::IDOK || controlId == about_ids::IDCANCEL) {
        window_.EndDialog(controlId);
    }
}

void CAboutDlg::OnSysCommand(unsigned commandId) {
    if ((commandId & 0xFFF0U) == ids::kSysCommandClose) {
        window_.EndDialog(about_ids::IDCANCEL);
    }
}

void CAboutDlg::OnTimer(unsigned /*timerId*/) {}

void CAboutDlg::OnPostedMessage(unsigned /*message*/) {}

}  // namespace vorenta
