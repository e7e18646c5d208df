#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/TickSource.h"
#include "ui/HeadlessWindowHost.h"
#include "ui/UpdateDlg.h"

namespace vorenta {

// Runs one update through the window logic as an operator would: pick the
// port, press "Begin Update", let the timer poll until the module answers and
// the transfer ends, or cancel when told to give up.
class FlashSession {
  public:
    struct Config {
        std::optional<int> comNumber;  // the port to check; else the window's choice
        std::optional<unsigned> waitSeconds;
        // What the host delivers the window's events to; null: the window.
        IWindowHandler* handler = nullptr;
    };

    // An interrupt count at which the transfer stops at once (the second Ctrl-C).
    static constexpr int kStopNow = 2;

    // `interrupts` says how many times the operator has asked to stop.
    FlashSession(CPLSM_UpdateDlg& window, HeadlessWindowHost& host, ITickSource& clock,
                 std::function<int()> interrupts, std::function<void(const std::string&)> say);

    int Run(const Config& config);

    // Runs once the port is chosen, just before "Begin Update" is pressed.
    std::function<void()> beforeBegin;

  private:
    int Arm(const Config& config);
    int OutcomeOfTransfer() const;
    // A box since arming whose text begins with `prefix`.
    bool SaidSinceArming(std::string_view prefix) const;
    int Cancel(const std::string& why);

    CPLSM_UpdateDlg& window_;
    HeadlessWindowHost& host_;
    ITickSource& clock_;
    std::function<int()> interrupts_;
    std::function<void(const std::string&)> say_;
    std::size_t boxesBefore_ = 0;
};

}  // namespace vorenta
