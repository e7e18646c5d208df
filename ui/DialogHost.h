#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/WindowServices.h"

namespace vorenta {

// How a host draws one control (a window's colour rule).
struct ControlStyle {
    bool emphasisFont = false;
    bool customColour = false;     // false: the default font, colour and background
    std::uint32_t textColour = 0;  // 0x00BBGGRR
    bool transparentBackground = false;
};

// What a dialog's logic offers its host beyond IWindowHandler.
struct DialogCallbacks {
    // Runs once the controls exist, before the dialog is shown; true: the
    // focus goes where the dialog manager puts it.
    std::function<bool()> initDialog;
    // The colour rule; empty: every control keeps the default look.
    std::function<ControlStyle(int controlId)> controlStyle;
    // A mouse message (wm::LButtonDown ...) on a link control and its text.
    std::function<void(int controlId, unsigned mouseMessage, const std::string& text)> linkMouse;
    // A link is taking the focus: the control that takes it instead.
    std::function<int(int controlId)> linkFocus;
    // Runs the About and contact-information dialog modally.
    std::function<void()> showAbout;
    // The dialog has closed: the logic's teardown.
    std::function<void()> destroy;
};

// A modal dialog a toolkit makes from a template, serving IWindowServices to
// the dialog's logic and routing the toolkit's events to its IWindowHandler.
class IDialogHost : public IWindowServices {
  public:
    virtual void Attach(IWindowHandler& handler, DialogCallbacks callbacks) = 0;
    // Initialises the logic, shows the dialog and returns its end result.
    virtual int RunModal() = 0;
};

}  // namespace vorenta
