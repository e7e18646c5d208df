#pragma once

#include <cstdint>

namespace vorenta {

// The 32-bit millisecond tick counter every wait is measured on. It wraps after
// about 49.7 days; differences are always taken unsigned, so waits survive it.
class ITickSource {
  public:
    virtual ~ITickSource() = default;
    virtual std::uint32_t GetTickCount() = 0;
    // A real sleep; only the port hand-off uses it, every other wait is busy.
    virtual void Sleep(std::uint32_t ms) = 0;
    // Called inside busy waits so another process on the machine is not starved.
    virtual void Yield() {}
};

inline std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) {
    return now - start;
}

// Busy wait on the tick counter: never sleeps, never processes window messages,
// never returns before the unsigned difference reaches `ms`. 0 returns at once.
void DelayMs(ITickSource& clock, std::uint32_t ms);

}  // namespace vorenta
