#include "platform/TickSource.h"

namespace vorenta {

void DelayMs(ITickSource& clock, std::uint32_t ms) {
    if (ms == 0) {
        return;
    }
    const std::uint32_t start = clock.GetTickCount();
    while (TicksSince(start, clock.GetTickCount()) < ms) {
        clock.Yield();
    }
}

}  // namespace vorenta
