#pragma once

#include <wx/dialog.h>
#include <wx/font.h>
#include <wx/gdicmn.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "ui/DialogTemplate.h"
#include "ui/UpdateDlg.h"

class wxRadioButton;

namespace vorenta::wxui {

// One control of a dialog built from its template.
struct WxControl {
    const ControlTemplate* tmpl = nullptr;
    wxWindow* window = nullptr;  // owned by the dialog
    std::string text;
    wxRect rect;  // pixels, where the template places it
    std::optional<ControlStyle> applied;
    // A tooltip set by the logic wins over the one that shows a cut text.
    bool tooltipFromLogic = false;
};

struct DialogFonts {
    wxFont dialog;
    wxFont emphasis;
};

// The dialog font at the template's size, or smaller when the dialog would
// not fit `workArea` with it; sets it on `dialog`. The emphasis font keeps its
// size in step with the dialog font.
DialogFonts ChooseDialogFonts(wxDialog& dialog, const DialogTemplate& dialogTemplate,
                              const wxRect& workArea);

// The controls of a template, created in tab order on a dialog whose font and
// size are set.
class WxControlBuilder {
  public:
    WxControlBuilder(wxDialog& dialog, const DialogTemplate& dialogTemplate);

    void Build();

    std::map<int, WxControl>& Controls() { return controls_; }
    // The hidden extra member of each radio group, keyed by every member's id.
    std::map<int, wxRadioButton*>& NoneOfGroup() { return noneOfGroup_; }

  private:
    void Create(const ControlTemplate& c);
    wxRect ToPixels(const ControlTemplate& c) const;
    // Controls that would lie under a picture start beside or below it.
    void ClearPicture(const wxRect& picture);

    wxDialog& dialog_;
    const DialogTemplate& template_;
    std::map<int, WxControl> controls_;
    std::map<int, wxRadioButton*> noneOfGroup_;
};

bool IsStatic(ControlKind kind);

// Sets what a control shows: ampersands as themselves, long texts wrapped or
// cut with an ellipsis (the whole text then is the tooltip).
void SetControlText(WxControl& control, std::string_view text);
// Re-measures a control whose font changed.
void RelayoutText(WxControl& control);

}  // namespace vorenta::wxui
