#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorenta {

// Id of controls the logic never addresses (labels, frames).
inline constexpr int kNoControlId = -1;

enum class ControlKind {
    StaticLeft,
    StaticCentred,
    StaticCentredVertically,  // one line, from the left edge, centred top to bottom
    GroupBox,
    RadioButton,
    PushButton,
    DefaultPushButton,
    Picture,  // a bitmap shown at its own size
    Icon,     // the application icon shown at its own size
    LinkText  // read-only one-line text drawn as a link
};

// One control of a dialog template. Positions and sizes are in dialog units:
// a quarter of the dialog font's average character width across, an eighth
// of its character height down.
struct ControlTemplate {
    int id = kNoControlId;
    ControlKind kind = ControlKind::StaticLeft;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::string text;
    // Starts a group of radio buttons (the group runs to the next start).
    bool groupStart = false;
};

// A dialog as data: size, font and controls in tab order (the order in which
// they are created; only buttons take the keyboard focus).
struct DialogTemplate {
    int id = 0;
    int width = 0;
    int height = 0;
    std::string_view fontFace;
    int fontPointSize = 0;
    bool minimiseBox = false;
    std::vector<ControlTemplate> controls;

    // The control with `controlId`, or null.
    const ControlTemplate* Find(int controlId) const;
    // Appends a control; the order of calls is the tab order.
    void Add(int controlId, ControlKind kind, int x, int y, int width, int height,
             std::string_view text = {}, bool groupStart = false) {
        controls.push_back(
            ControlTemplate{controlId, kind, x, y, width, height, std::string(text), groupStart});
    }
};

inline constexpr std::string_view kDialogFontFace = "MS Shell Dlg";
inline constexpr int kDialogFontPointSize = 8;

}  // namespace vorenta
