#pragma once

#include <cstdint>

#include "platform/FineSleep.h"
#include "platform/TickSource.h"

namespace vorenta {

// A model of how a Windows PC keeps time, for judging our waits without one
// (Wine sleeps on Linux's timers and shows none of this). The system timer
// interrupts every 15.625 ms (64 times a second) unless a program raises it to
// 1 ms; a Sleep ends on the first interrupt at or after its time is up;
// GetTickCount moves only on the 15.625 ms ticks, whatever the timer runs at;
// the performance counter shows the true time. Time moves only when slept,
// waited or spent (Advance), so every figure is exact and repeatable.
class WindowsTimerModel {
  public:
    static constexpr std::uint64_t kDefaultPeriodUs = 15625;
    static constexpr std::uint64_t kRaisedPeriodUs = 1000;
    static constexpr std::uint64_t kTickCountStepUs = 15625;
    // Sleep(0) with nothing else to run, and one reading of a counter.
    static constexpr std::uint64_t kYieldUs = 5;
    static constexpr std::uint64_t kReadingUs = 1;
    // A high-resolution waitable timer ends within this much after its time.
    static constexpr std::uint64_t kHighResolutionStepUs = 500;

    explicit WindowsTimerModel(std::uint64_t startUs = 0) : nowUs_(startUs) {}

    // The performance counter, in microseconds.
    std::uint64_t NowUs() const { return nowUs_; }
    // GetTickCount: whole milliseconds as of the last 15.625 ms tick.
    std::uint32_t TickCountMs() const;
    // Sleep: 0 gives the time slice away; otherwise ends on the first
    // interrupt of the system timer at or after `ms` from now.
    void Sleep(std::uint32_t ms);
    // A wait on a high-resolution timer; false (no time passes) when the
    // system has none.
    bool WaitHighResolution(std::uint64_t us);
    // Time that work takes: a write on the line, a reading of a counter.
    void Advance(std::uint64_t us) { nowUs_ += us; }
    void AdvanceTo(std::uint64_t us);

    // timeBeginPeriod(1) and timeEndPeriod(1): the timer runs at 1 ms while
    // at least one request is in force.
    void BeginPeriod() { ++periodRequests_; }
    void EndPeriod();
    int PeriodRequests() const { return periodRequests_; }
    std::uint64_t PeriodUs() const;
    // The first interrupt at or after `us`.
    std::uint64_t NextInterrupt(std::uint64_t us) const;

    bool hasHighResolutionTimer = false;
    // The system timer's periods; a model of exact waits sets both to 1 us.
    std::uint64_t defaultPeriodUs = kDefaultPeriodUs;
    std::uint64_t raisedPeriodUs = kRaisedPeriodUs;

  private:
    std::uint64_t nowUs_;
    int periodRequests_ = 0;
};

// A tick source on the model, as our programs see it there.
class WindowsTickModel : public ITickSource {
  public:
    enum class Clock {
        // GetTickCount and Sleep of Windows themselves.
        SystemCalls,
        // Milliseconds of the performance counter, and sleeps that end on
        // that counter (high-resolution timer where there is one).
        Fine,
    };

    WindowsTickModel(WindowsTimerModel& model, Clock clock);

    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t ms) override;
    void Yield() override { model_.Sleep(0); }

  private:
    WindowsTimerModel& model_;
    Clock clock_;
    FineSleepCalls calls_;
};

}  // namespace vorenta
