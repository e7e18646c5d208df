#pragma once

#include <cstdint>

namespace vorenta {

// The 32-bit millisecond tick counter every wait is measured on. It wraps after
// about 49.7 days; differences are always taken unsigned, so waits survive it.
class ITickSource {
  public:
    virtual ~ITickSource() = default;
    virtual std::uint32_t GetTickCount() = 0;
    // Gives up the processor for about `ms` milliseconds. Callers that must not
    // return early check the counter afterwards, as DelayMs does.
    virtual void Sleep(std::uint32_t ms) = 0;
    // For a caller that has to loop without a wait of its own.
    virtual void Yield() {}
};

inline std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) {
    return now - start;
}

// Waits until the unsigned difference of the counter from its first reading
// reaches `ms`, sleeping meanwhile; never returns earlier and never processes
// window messages. 0 returns at once.
void DelayMs(ITickSource& clock, std::uint32_t ms);

}  // namespace vorenta
