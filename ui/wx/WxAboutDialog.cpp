#include "ui/wx/WxAboutDialog.h"

#include <string>

#include "platform/LinkOpener.h"
#include "ui/AboutDlg.h"
#include "ui/AboutDlgTemplate.h"
#include "ui/wx/WxDialogHost.h"
#include "ui/wx/WxImages.h"

namespace vorenta::wxui {

void RunAboutDialog(wxWindow* parent, ILinkOpener& links) {
    WxDialogHost host(parent, AboutDlgTemplate(), MakeAppIcons());
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

}  // namespace vorenta::wxui
