#pragma once

#include "ui/WindowToolkit.h"

namespace vorenta::wxui {

// The wxWidgets windows of the update program; the toolkit itself is started
// before (Toolkit).
class WxWindowToolkit : public IWindowToolkit {
  public:
    void InitUserInterface() override {}
    std::unique_ptr<IDialogHost> MakeUpdateWindow() override;
    void RunAboutDialog(IDialogHost& owner, ILinkOpener& links) override;
};

}  // namespace vorenta::wxui
