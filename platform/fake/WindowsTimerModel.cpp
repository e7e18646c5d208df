#include "platform/fake/WindowsTimerModel.h"

namespace vorenta {

namespace {
constexpr std::uint64_t kUsPerMs = 1000;

std::uint64_t RoundUpTo(std::uint64_t value, std::uint64_t step) {
    return (value + step - 1) / step * step;
}
}  // namespace

std::uint32_t WindowsTimerModel::TickCountMs() const {
    const std::uint64_t lastTick = nowUs_ / kTickCountStepUs * kTickCountStepUs;
    return static_cast<std::uint32_t>(lastTick / kUsPerMs);
}

void WindowsTimerModel::Sleep(std::uint32_t ms) {
    if (ms == 0) {
        nowUs_ += kYieldUs;
        return;
    }
    nowUs_ = NextInterrupt(nowUs_ + std::uint64_t{ms} * kUsPerMs);
}

bool WindowsTimerModel::WaitHighResolution(std::uint64_t us) {
    if (!hasHighResolutionTimer) {
        return false;
    }
    nowUs_ = RoundUpTo(nowUs_ + us, kHighResolutionStepUs);
    return true;
}

void WindowsTimerModel::AdvanceTo(std::uint64_t us) {
    if (us > nowUs_) {
        nowUs_ = us;
    }
}

void WindowsTimerModel::EndPeriod() {
    if (periodRequests_ > 0) {
        --periodRequests_;
    }
}

std::uint64_t WindowsTimerModel::PeriodUs() const {
    return periodRequests_ > 0 ? raisedPeriodUs : defaultPeriodUs;
}

std::uint64_t WindowsTimerModel::NextInterrupt(std::uint64_t us) const {
    return RoundUpTo(us, PeriodUs());
}

WindowsTickModel::WindowsTickModel(WindowsTimerModel& model, Clock clock)
    : model_(model), clock_(clock) {
    calls_.nowUs = [this] {
        model_.Advance(WindowsTimerModel::kReadingUs);
        return model_.NowUs();
    };
    calls_.waitUs = [this](std::uint64_t us) { return model_.WaitHighResolution(us); };
    calls_.sleepMs = [this](std::uint32_t ms) { model_.Sleep(ms); };
}

std::uint32_t WindowsTickModel::GetTickCount() {
    // A loop that only reads the clock still sees time pass.
    model_.Advance(WindowsTimerModel::kReadingUs);
    if (clock_ == Clock::SystemCalls) {
        return model_.TickCountMs();
    }
    return static_cast<std::uint32_t>(model_.NowUs() / kUsPerMs);
}

void WindowsTickModel::Sleep(std::uint32_t ms) {
    if (clock_ == Clock::SystemCalls) {
        model_.Sleep(ms);
        return;
    }
    SleepUntil(calls_, model_.NowUs() + std::uint64_t{ms} * kUsPerMs);
}

}  // namespace vorenta
