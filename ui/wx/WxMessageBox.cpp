#include "ui/wx/WxMessageBox.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/evtloop.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "ui/wx/WxImages.h"

namespace vorenta::wxui {

namespace {

// Bounds the draining of a queue that something keeps refilling.
constexpr int kMostEventsDrained = 10000;
constexpr int kGap = 12;

class InputDiscarder : public wxEventFilter {
  public:
    InputDiscarder() { wxEvtHandler::AddFilter(this); }
    ~InputDiscarder() override { wxEvtHandler::RemoveFilter(this); }
    InputDiscarder(const InputDiscarder&) = delete;
    InputDiscarder& operator=(const InputDiscarder&) = delete;

    int FilterEvent(wxEvent& event) override {
        // Taken as handled, so the native widget never sees it either.
        const bool input = event.GetEventCategory() == wxEVT_CATEGORY_USER_INPUT ||
                           event.GetEventType() == wxEVT_CLOSE_WINDOW;
        return input ? Event_Processed : Event_Skip;
    }
};

wxArtID IconArt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return wxART_INFORMATION;
        case MessageIcon::Exclamation:
        case MessageIcon::Warning:
            // One symbol for both, as on the desktop the texts were written for.
            return wxART_WARNING;
        case MessageIcon::None:
            break;
    }
    return wxArtID();
}

}  // namespace

void DiscardPendingInput() {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (loop == nullptr) {
        return;
    }
    // Asking where the pointer is waits for the display server's answer, so
    // everything it had already received is queued with us by then.
    wxGetMousePosition();
    const InputDiscarder discarder;
    for (int i = 0; i < kMostEventsDrained && loop->Pending(); ++i) {
        loop->Dispatch();
    }
}

void ShowMessageBox(wxWindow* parent, const wxString& text, const wxString& caption,
                    MessageIcon icon) {
    long style = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
    if (parent == nullptr) {
        style |= wxDIALOG_NO_PARENT;
    }
    wxDialog box(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, style);
    auto* body = new wxBoxSizer(wxHORIZONTAL);
    const wxArtID art = IconArt(icon);
    if (!art.empty()) {
        // The box owns its children; the sizer only places them.
        // Information is ours: icon themes draw it in ways that do not say it.
        const wxBitmapBundle symbol = icon == MessageIcon::Information
                                          ? InformationSymbol()
                                          : wxArtProvider::GetBitmapBundle(art, wxART_MESSAGE_BOX);
        auto* image = new wxStaticBitmap(&box, wxID_ANY, symbol);
        image->SetName(kMessageBoxIconName);
        body->Add(image, 0, wxALIGN_TOP | wxRIGHT, kGap * 2);
    }
    auto* label = new wxStaticText(&box, wxID_ANY, wxString());
    label->SetLabelText(text);
    label->SetName(kMessageBoxTextName);
    body->Add(label, 1, wxALIGN_CENTRE_VERTICAL);

    auto* ok = new wxButton(&box, wxID_OK);
    ok->SetDefault();
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(body, 1, wxEXPAND | wxALL, kGap * 2);
    all->Add(ok, 0, wxALIGN_CENTRE_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, kGap);
    box.SetSizerAndFit(all);
    box.SetEscapeId(wxID_OK);
    box.CentreOnParent();
    ok->SetFocus();
    box.ShowModal();
}

}  // namespace vorenta::wxui
