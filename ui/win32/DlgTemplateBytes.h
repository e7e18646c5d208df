#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "ui/DialogTemplate.h"

namespace vorenta::win32ui {

// The registered class of the link controls: rich-edit 2.0, single-byte text.
inline constexpr std::string_view kLinkControlClass = "RichEdit20A";

// The dialog manager's in-memory template (DLGTEMPLATE with DS_SETFONT and one
// DLGITEMTEMPLATE per control, in tab order) for `dialog`. Positions stay in
// dialog units, so Windows lays the dialog out in its own font's units. The
// words are stored in a vector of 16-bit words, so the start is aligned as
// DialogBoxIndirectParam requires.
std::vector<std::uint16_t> BuildDlgTemplate(const DialogTemplate& dialog);

}  // namespace vorenta::win32ui
