#pragma once

#include <memory>

#include "platform/LinkOpener.h"
#include "ui/DialogHost.h"

namespace vorenta {

// What a toolkit gives the update program: its own start, the update window's
// host, and the About dialog.
class IWindowToolkit {
  public:
    virtual ~IWindowToolkit() = default;
    // Once, before the first window (themed controls, link-capable texts).
    virtual void InitUserInterface() = 0;
    // The update window's host, built from its template.
    virtual std::unique_ptr<IDialogHost> MakeUpdateWindow() = 0;
    // Runs the About and contact-information dialog modally over `owner`, a
    // host this toolkit made.
    virtual void RunAboutDialog(IDialogHost& owner, ILinkOpener& links) = 0;
};

}  // namespace vorenta
