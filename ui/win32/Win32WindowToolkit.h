#pragma once

#include <memory>
#include <type_traits>

#include "ui/WindowToolkit.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {

// The Win32 dialogs of the update program, from this module's resources.
class Win32WindowToolkit : public IWindowToolkit {
  public:
    Win32WindowToolkit();

    // The common controls, and the rich-edit library the About dialog's links
    // live in, kept loaded for the program's life.
    void InitUserInterface() override;
    std::unique_ptr<IDialogHost> MakeUpdateWindow() override;
    void RunAboutDialog(IDialogHost& owner, ILinkOpener& links) override;

  private:
    struct LibraryDeleter {
        void operator()(HMODULE module) const { ::FreeLibrary(module); }
    };
    using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

    HINSTANCE instance_;
    UniqueLibrary richEdit_;
};

}  // namespace vorenta::win32ui
