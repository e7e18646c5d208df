#pragma once

#include <wx/string.h>

#include "platform/WindowServices.h"

class wxWindow;

namespace vorenta::wxui {

// Keys, clicks and close requests that reached the application while it
// could not listen (a transfer runs on the window's own thread) are thrown
// away, so that only what the operator does afterwards acts.
void DiscardPendingInput();

// A modal message box with the icon of its kind, the text, and an OK button
// that Enter and Esc press too.
void ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption,
                    MessageIcon icon);

// Names of the box's parts, for tools that look at it.
inline constexpr const char* kMessageBoxIconName = "messageBoxIcon";
inline constexpr const char* kMessageBoxTextName = "messageBoxText";

}  // namespace vorenta::wxui
