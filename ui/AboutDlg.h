#pragma once

#include <string_view>

#include "platform/LinkOpener.h"
#include "platform/WindowServices.h"

namespace vorenta {

// Mouse messages a link reports.
namespace wm {
inline constexpr unsigned MouseMove = 0x0200;
inline constexpr unsigned LButtonDown = 0x0201;
inline constexpr unsigned LButtonUp = 0x0202;
inline constexpr unsigned RButtonDown = 0x0204;
}  // namespace wm

// The About and contact-information dialog (template 100): product line,
// version, release date, scope notice and the maker's contact details with
// the web and e-mail addresses as links.
class CAboutDlg : public IWindowHandler {
  public:
    CAboutDlg(IWindowServices& window, ILinkOpener& links);
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    // Places the dialog and fills its texts; true: the host focuses the
    // first control that takes the focus ("OK").
    bool OnInitDialog();

    // A mouse action on a link's text. Opens the matching mail or web target
    // on the press of the left button only. Returns the notification result, 0.
    long OpenContactLink(unsigned mouseMessage, std::string_view clickedText);

    // A link is about to take the focus: returns the control that takes it
    // instead ("OK"), so a link never holds the focus or shows a caret.
    int OnLinkFocus(int linkId) const;

    // IWindowHandler: "OK", Enter, Esc and the close box end the dialog.
    void OnCommand(int controlId) override;
    void OnSysCommand(unsigned commandId) override;
    void OnTimer(unsigned timerId) override;
    void OnPostedMessage(unsigned message) override;

  private:
    IWindowServices& window_;
    ILinkOpener& links_;
};

}  // namespace vorenta
