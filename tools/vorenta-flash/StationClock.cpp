#include "StationClock.h"

#include <chrono>
#include <thread>

namespace vorenta {

namespace {
// Short against the protocol's shortest wait (10 ms), long enough that eight
// waiting sessions cost next to nothing.
constexpr auto kPause = std::chrono::microseconds(250);
}  // namespace

void StationClock::Yield() {
    std::this_thread::sleep_for(kPause);
}

}  // namespace vorenta
