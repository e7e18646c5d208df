#pragma once

class wxWindow;

namespace vorenta {
class ILinkOpener;
}

namespace vorenta::wxui {

// Builds the About and contact-information dialog from its template and runs
// it modally over `parent`.
void RunAboutDialog(wxWindow* parent, ILinkOpener& links);

}  // namespace vorenta::wxui
