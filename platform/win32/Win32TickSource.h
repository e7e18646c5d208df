#pragma once

#include <memory>

#include "platform/TickSource.h"

namespace vorenta {

struct TimerApi;

// The millisecond counter of the waits, read from the performance counter
// (GetTickCount itself moves in steps of 15.625 ms on a default Windows
// timer), wrapping after about 49.7 days as GetTickCount does. A sleep never
// ends before its time on that counter and ends soon after it: on a
// high-resolution waitable timer where Windows has one (Windows 10 1803 and
// later), else on Sleep, which ends within a millisecond while the system
// timer is raised to 1 ms (the serial port does that while it is open).
// Safe to share between threads.
class Win32TickSource : public ITickSource {
  public:
    Win32TickSource();
    // `api` stands in for the system's calls; it must outlive the tick source.
    explicit Win32TickSource(const TimerApi& api);
    ~Win32TickSource() override;
    Win32TickSource(const Win32TickSource&) = delete;
    Win32TickSource& operator=(const Win32TickSource&) = delete;

    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t ms) override;
    void Yield() override;

    bool HasHighResolutionTimer() const { return highResolution_; }
    // Microseconds of the performance counter.
    std::uint64_t NowUs() const;

  private:
    void Start();

    std::unique_ptr<TimerApi> ownApi_;
    const TimerApi& api_;
    std::uint64_t frequency_ = 0;
    bool highResolution_ = false;
};

}  // namespace vorenta
