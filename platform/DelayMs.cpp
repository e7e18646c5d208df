#include "platform/TickSource.h"

namespace vorenta {

void DelayMs(ITickSource& clock, std::uint32_t ms) {
    if (ms == 0) {
        return;
    }
    const std::uint32_t start = clock.GetTickCount();
    for (;;) {
        const std::uint32_t waited = TicksSince(start, clock.GetTickCount());
        if (waited >= ms) {
            return;
        }
        // A sleep may end a little early (a signal, a coarse timer): measure again.
        clock.Sleep(ms - waited);
    }
}

}  // namespace vorenta
