#include "ui/wx/WxToolkit.h"

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdlib>

namespace vorenta::wxui {

namespace {

class UpdateWxApp : public wxApp {
  public:
    // The toolkit's own option parsing would reject the utility's switch.
    bool OnInit() override { return true; }
};

}  // namespace

}  // namespace vorenta::wxui

wxIMPLEMENT_APP_NO_MAIN(vorenta::wxui::UpdateWxApp);

namespace vorenta::wxui {

std::string MissingDisplayReason() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x11 == nullptr || *x11 == '\0') && (wayland == nullptr || *wayland == '\0')) {
        return "no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    }
    return {};
}

Toolkit::Toolkit(int& argc, char** argv) : init_(std::make_unique<wxInitializer>(argc, argv)) {
    if (init_->IsOk()) {
        log_ = std::make_unique<wxLogStderr>();
        previousLog_ = wxLog::SetActiveTarget(log_.get());
    }
}

Toolkit::~Toolkit() {
    // Ours goes before the toolkit's cleanup, which deletes the active target.
    if (log_) {
        wxLog::SetActiveTarget(previousLog_);
        log_.reset();
    }
}

bool Toolkit::IsOk() const {
    return init_->IsOk();
}

}  // namespace vorenta::wxui
