#include "ui/win32/Win32WindowToolkit.h"

#include "ui/UpdateDlgTemplate.h"
#include "ui/win32/Win32AboutDialog.h"
#include "ui/win32/Win32DialogHost.h"

namespace vorenta::win32ui {

namespace {
// The link controls of the About dialog live in this library.
constexpr const char* kRichEditLibrary = "Riched20.dll";
}  // namespace

Win32WindowToolkit::Win32WindowToolkit() : instance_(::GetModuleHandleA(nullptr)) {}

void Win32WindowToolkit::InitUserInterface() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);
    richEdit_.reset(::LoadLibraryA(kRichEditLibrary));
}

std::unique_ptr<IDialogHost> Win32WindowToolkit::MakeUpdateWindow() {
    return std::make_unique<Win32DialogHost>(instance_, UpdateDlgTemplate(), nullptr, true);
}

void Win32WindowToolkit::RunAboutDialog(IDialogHost& owner, ILinkOpener& links) {
    win32ui::RunAboutDialog(instance_, static_cast<Win32DialogHost&>(owner).Handle(), links);
}

}  // namespace vorenta::win32ui
