#include "ui/win32/Win32AboutDialog.h"

#include <string>
#include <utility>

#include "ui/AboutDlg.h"
#include "ui/AboutDlgTemplate.h"
#include "ui/win32/Win32DialogHost.h"

namespace vorenta::win32ui {

void RunAboutDialog(HINSTANCE instance, HWND owner, ILinkOpener& links) {
    Win32DialogHost host(instance, AboutDlgTemplate(), owner, false);
    CAboutDlg about(host, links);
    DialogCallbacks callbacks;
    callbacks.initDialog = [&about] { return about.OnInitDialog(); };
    callbacks.linkMouse = [&about](int, unsigned message, const std::string& text) {
        about.OpenContactLink(message, text);
    };
    callbacks.linkFocus = [&about](int id) { return about.OnLinkFocus(id); };
    host.Attach(about, std::move(callbacks));
    host.RunModal();
}

}  // namespace vorenta::win32ui
