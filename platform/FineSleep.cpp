#include "platform/FineSleep.h"

#include <algorithm>
#include <limits>

namespace vorenta {

namespace {
constexpr std::uint64_t kUsPerMs = 1000;
}  // namespace

void SleepUntil(const FineSleepCalls& calls, std::uint64_t deadlineUs) {
    for (;;) {
        const std::uint64_t now = calls.nowUs();
        if (now >= deadlineUs) {
            return;
        }
        const std::uint64_t left = deadlineUs - now;
        if (calls.waitUs && calls.waitUs(left)) {
            continue;  // a timer may still end a hair early: look again
        }
        calls.sleepMs(static_cast<std::uint32_t>(
            std::min<std::uint64_t>(left / kUsPerMs, std::numeric_limits<std::uint32_t>::max())));
    }
}

}  // namespace vorenta
