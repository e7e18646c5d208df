#include "platform/win32/Win32TickSource.h"

#include <algorithm>

#include "platform/FineSleep.h"
#include "platform/win32/TimerApi.h"

namespace vorenta {

namespace {

// Not in every SDK's headers yet.
constexpr DWORD kHighResolutionTimerFlag = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr std::uint64_t kUsPerSecond = 1000000;
constexpr std::uint64_t kUsPerMs = 1000;
constexpr std::uint64_t kFileTimeUnitsPerUs = 10;
// A timer that has not fired this long after its time is given up for Sleep.
constexpr DWORD kTimerGraceMs = 100;

// One high-resolution timer for one sleep, so that threads never share one.
class SleepTimer {
  public:
    SleepTimer(const TimerApi& api, bool wanted)
        : api_(api),
          handle_(wanted ? api.createWaitableTimerEx(nullptr, nullptr, kHighResolutionTimerFlag,
                                                     TIMER_ALL_ACCESS)
                         : nullptr) {}
    ~SleepTimer() { Drop(); }
    SleepTimer(const SleepTimer&) = delete;
    SleepTimer& operator=(const SleepTimer&) = delete;

    bool Valid() const { return handle_ != nullptr; }

    // False when there is no timer or it failed; the caller then sleeps.
    bool Wait(std::uint64_t us) {
        if (!Valid()) {
            return false;
        }
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(us * kFileTimeUnitsPerUs);  // relative
        const auto limitMs = static_cast<DWORD>(
            std::min<std::uint64_t>(us / kUsPerMs + kTimerGraceMs, INFINITE - 1));
        if (!api_.setWaitableTimer(handle_, &due, 0, nullptr, nullptr, FALSE) ||
            api_.waitForSingleObject(handle_, limitMs) != WAIT_OBJECT_0) {
            Drop();
            return false;
        }
        return true;
    }

  private:
    void Drop() {
        if (handle_ != nullptr) {
            api_.closeHandle(handle_);
            handle_ = nullptr;
        }
    }

    const TimerApi& api_;
    HANDLE handle_;
};

}  // namespace

Win32TickSource::Win32TickSource() : ownApi_(std::make_unique<TimerApi>()), api_(*ownApi_) {
    Start();
}

Win32TickSource::Win32TickSource(const TimerApi& api) : api_(api) {
    Start();
}

Win32TickSource::~Win32TickSource() = default;

void Win32TickSource::Start() {
    // Never fails on Windows XP and later.
    LARGE_INTEGER frequency{};
    api_.queryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart > 0 ? static_cast<std::uint64_t>(frequency.QuadPart) : 1;
    // Windows before 10 1803 refuses the flag.
    highResolution_ = SleepTimer(api_, true).Valid();
}

std::uint64_t Win32TickSource::NowUs() const {
    LARGE_INTEGER counter{};
    api_.queryPerformanceCounter(&counter);
    const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
    // In two parts, so the product never overflows.
    return ticks / frequency_ * kUsPerSecond + ticks % frequency_ * kUsPerSecond / frequency_;
}

std::uint32_t Win32TickSource::GetTickCount() {
    return static_cast<std::uint32_t>(NowUs() / kUsPerMs);
}

void Win32TickSource::Sleep(std::uint32_t ms) {
    const std::uint64_t deadline = NowUs() + std::uint64_t{ms} * kUsPerMs;
    SleepTimer timer(api_, highResolution_ && ms > 0);
    const FineSleepCalls calls{[this] { return NowUs(); },
                               [&timer](std::uint64_t us) { return timer.Wait(us); },
                               [this](std::uint32_t slice) { api_.sleep(slice); }};
    SleepUntil(calls, deadline);
}

void Win32TickSource::Yield() {
    // Gives the rest of the time slice to any thread that is ready to run.
    api_.sleep(0);
}

}  // namespace vorenta
