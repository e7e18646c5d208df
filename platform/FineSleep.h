#pragma once

#include <cstdint>
#include <functional>

namespace vorenta {

// What a system offers a wait that must never end early and should end as
// soon as possible after its time: a fine clock and two ways to give up the
// processor.
struct FineSleepCalls {
    // Microseconds on a clock that never goes back.
    std::function<std::uint64_t()> nowUs;
    // Waits about `us` on a high-resolution timer; false when the system has
    // none, and the wait then falls back to `sleepMs`. May be left empty.
    std::function<bool(std::uint64_t us)> waitUs;
    // The system's own sleep, which ends on its timer's interrupts: possibly
    // a little before the time asked, possibly a whole interrupt period after.
    // 0 gives the rest of the time slice away.
    std::function<void(std::uint32_t ms)> sleepMs;
};

// Returns once `nowUs` has reached `deadlineUs`, never before. Whole
// milliseconds are slept only while they cannot carry the wait past the
// deadline; the last fraction of one is spent giving the processor away.
void SleepUntil(const FineSleepCalls& calls, std::uint64_t deadlineUs);

}  // namespace vorenta
