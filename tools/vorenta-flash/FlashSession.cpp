#include "FlashSession.h"

#include "FlashOptions.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {

namespace {
constexpr std::uint32_t kSleepStepMs = 10;
constexpr std::uint64_t kMsPerSecond = 1000;
constexpr std::string_view kInterruptedBeforeTransfer =
    "Interrupted before the transfer began; the session was cancelled.";
}  // namespace

FlashSession::FlashSession(CPLSM_UpdateDlg& window, HeadlessWindowHost& host, ITickSource& clock,
                           std::function<int()> interrupts,
                           std::function<void(const std::string&)> say)
    : window_(window),
      host_(host),
      clock_(clock),
      interrupts_(std::move(interrupts)),
      say_(std::move(say)) {
    window_.AddListener(endings_);
}

int FlashSession::Run(const Config& config) {
    host_.Attach(&window_);
    window_.OnInitDialog();
    window_.transfer.transferInterruptRequested = [this, warned = false]() mutable {
        const int count = interrupts_();
        if (count == 1 && !warned) {
            warned = true;
            say_(
                "Stopping now may leave the module without working firmware. Press Ctrl-C "
                "again to stop anyway.");
        }
        return count >= kStopNow;
    };

    // A stop while the firmware is read or copied ends that at once; the wait
    // below then cancels the session.
    window_.pageImage.stopRequested = [this] { return interrupts_() > 0; };
    int status = Arm(config);
    if (status < 0) {
        // Counted in 64 bits: a long wait must not wrap into a short one.
        const std::uint64_t waitMs =
            config.waitSeconds ? *config.waitSeconds * kMsPerSecond : UINT64_MAX;
        std::uint64_t waitedMs = 0;
        std::uint32_t lastTick = clock_.GetTickCount();
        std::uint32_t nextTick = lastTick;
        for (;;) {
            nextTick += ids::kUpdateTimerPeriodMs;
            // Short sleeps, so an interrupt is seen at once.
            while (static_cast<std::int32_t>(nextTick - clock_.GetTickCount()) > 0 &&
                   interrupts_() == 0) {
                clock_.Sleep(kSleepStepMs);
            }
            if (interrupts_() > 0) {
                status = Cancel(std::string(kInterruptedBeforeTransfer));
                break;
            }
            const std::uint32_t now = clock_.GetTickCount();
            waitedMs += TicksSince(lastTick, now);
            lastTick = now;
            if (waitedMs >= waitMs) {
                status = Cancel("The module did not answer within " +
                                std::to_string(*config.waitSeconds) +
                                " seconds; the session was cancelled.");
                break;
            }
            host_.TimerTick();
            if (window_.session.updateActive == 0) {
                status = OutcomeOfTransfer();
                break;
            }
        }
    }
    window_.OnDestroy();
    return status;
}

// Negative: armed and polling. Otherwise the exit status of why not.
int FlashSession::Arm(const Config& config) {
    if (window_.firmware.firmwareFileName.empty()) {
        return kExitUsage;
    }
    if (config.comNumber) {
        int button = 0;
        for (std::size_t i = 0; i < window_.ports.portNumbers.size(); ++i) {
            if (window_.ports.portNumbers[i] == *config.comNumber) {
                button = ids::kFirstPortButton + static_cast<int>(i);
                break;
            }
        }
        if (button == 0) {
            say_("COM" + std::to_string(*config.comNumber) +
                 " is not an installed serial port (see --list-ports).");
            return kExitPortUnavailable;
        }
        host_.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, button);
    }
    const int checked = host_.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton);
    if (checked == 0) {
        say_("No serial port is installed (see --list-ports, or name a device with --port).");
        return kExitPortUnavailable;
    }
    endings_ = Endings();
    host_.Click(ids::kBeginUpdate);
    if (window_.session.updateActive == 1) {
        // Only now is the port known to be open.
        say_("Waiting for the module on COM" + std::to_string(endings_.armedOn) +
             " (put it into its firmware update mode; Ctrl-C cancels).");
        return -1;
    }
    if (endings_.Saw(SessionEnding::PortUnavailable)) {
        return kExitPortUnavailable;
    }
    if (interrupts_() > 0) {
        // Stopped while the firmware was read or copied: the session is gone already.
        say_(std::string(kInterruptedBeforeTransfer));
        return kExitGaveUp;
    }
    return kExitUsage;
}

int FlashSession::OutcomeOfTransfer() const {
    if (endings_.Saw(SessionEnding::PortLost)) {
        return kExitPortUnavailable;
    }
    return endings_.Saw(SessionEnding::Updated) ? kExitUpdated : kExitFailureReported;
}

int FlashSession::Cancel(const std::string& why) {
    host_.Click(ids::kBeginUpdate);
    say_(why);
    return kExitGaveUp;
}

}  // namespace vorenta
