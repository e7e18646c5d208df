#include "ui/wx/WxWindowToolkit.h"

#include "ui/UpdateDlgTemplate.h"
#include "ui/wx/WxAboutDialog.h"
#include "ui/wx/WxDialogHost.h"
#include "ui/wx/WxImages.h"

namespace vorenta::wxui {

std::unique_ptr<IDialogHost> WxWindowToolkit::MakeUpdateWindow() {
    return std::make_unique<WxDialogHost>(nullptr, UpdateDlgTemplate(), MakeAppIcons());
}

void WxWindowToolkit::RunAboutDialog(IDialogHost& owner, ILinkOpener& links) {
    wxui::RunAboutDialog(&static_cast<WxDialogHost&>(owner), links);
}

}  // namespace vorenta::wxui
