#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/TickSource.h"
#include "ui/HeadlessWindowHost.h"
#include "ui/UpdateDlg.h"
#include "update/SessionEvents.h"

namespace vorenta {

// Runs one update through the window logic as an operator would: pick the
// port, press "Begin Update", let the timer poll until the module answers and
// the transfer ends, or cancel when told to give up.
class FlashSession {
  public:
    struct Config {
        std::optional<int> comNumber;  // the port to check; else the window's choice
        std::optional<unsigned> waitSeconds;
    };

    // An interrupt count at which the transfer stops at once (the second Ctrl-C).
    static constexpr int kStopNow = 2;

    // `interrupts` says how many times the operator has asked to stop.
    FlashSession(CPLSM_UpdateDlg& window, HeadlessWindowHost& host, ITickSource& clock,
                 std::function<int()> interrupts, std::function<void(const std::string&)> say);

    int Run(const Config& config);

  private:
    // How the session went, as its events told.
    class Endings : public ISessionEvents {
      public:
        void OnArmed(int comNumber, const std::string& /*devicePath*/) override {
            armedOn = comNumber;
        }
        void OnOutcome(const SessionOutcome& outcome) override { seen.insert(outcome.ending); }
        bool Saw(SessionEnding ending) const { return seen.contains(ending); }

        int armedOn = 0;
        std::set<SessionEnding> seen;
    };

    int Arm(const Config& config);
    int OutcomeOfTransfer() const;
    int Cancel(const std::string& why);

    CPLSM_UpdateDlg& window_;
    HeadlessWindowHost& host_;
    ITickSource& clock_;
    std::function<int()> interrupts_;
    std::function<void(const std::string&)> say_;
    Endings endings_;
};

}  // namespace vorenta
