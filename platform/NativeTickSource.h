#pragma once

#include <cstdint>
#include <memory>

#include "platform/TickSource.h"

namespace vorenta {

#ifdef _WIN32
struct TimerApi;
#endif

// The system's own millisecond counter, truncated to 32 bits like the tick
// counter the waits were written for; it wraps after about 49.7 days.
//
// POSIX: the monotonic clock.
//
// Windows: the performance counter (GetTickCount itself moves in steps of
// 15.625 ms on a default Windows timer). A sleep never ends before its time on
// that counter and ends soon after it: on a high-resolution waitable timer
// where Windows has one (Windows 10 1803 and later), else on Sleep, which ends
// within a millisecond while the system timer is raised to 1 ms (the serial
// port does that while it is open). Safe to share between threads.
class NativeTickSource : public ITickSource {
  public:
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t ms) override;
    void Yield() override;

#ifdef _WIN32
    NativeTickSource();
    // `api` stands in for the system's calls; it must outlive the tick source.
    explicit NativeTickSource(const TimerApi& api);
    ~NativeTickSource() override;
    NativeTickSource(const NativeTickSource&) = delete;
    NativeTickSource& operator=(const NativeTickSource&) = delete;

    bool HasHighResolutionTimer() const {
        return highResolution_;
    }
    // Microseconds of the performance counter.
    std::uint64_t NowUs() const;

  private:
    void Start();

    std::unique_ptr<TimerApi> ownApi_;
    const TimerApi& api_;
    std::uint64_t frequency_ = 0;
    bool highResolution_ = false;
#endif
};

}  // namespace vorenta
