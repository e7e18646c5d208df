#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "ui/DialogHost.h"
#include "ui/UpdateDlg.h"
#include "update/SessionRecorder.h"

namespace vorenta {

// The update window put together the same way by every program that has one
// (the two window programs and the headless updater): its host, the serial
// line traced into each session's log, the window, and the log listening to
// the window's sessions.
class UpdateWindowAssembly {
  public:
    // `host` is the window's; the other services are the platform's.
    // `logs.describeAdapter` is filled in from the port table.
    UpdateWindowAssembly(const UpdateDlgPlatform& services, SessionLogSetup logs,
                         const std::int8_t& preferredPort, const std::string& applicationName);

    CPLSM_UpdateDlg& Window() { return window_; }
    SessionRecorder& Recorder() { return recorder_; }

    // What a dialog host needs of the window; `showAbout` runs the About dialog.
    DialogCallbacks Callbacks(std::function<void()> showAbout);

  private:
    SessionRecorder recorder_;
    CPLSM_UpdateDlg window_;
};

}  // namespace vorenta
