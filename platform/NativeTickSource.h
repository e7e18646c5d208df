#pragma once

#include "platform/TickSource.h"

namespace vorenta {

// The system's own millisecond counter, truncated to 32 bits like the tick
// counter the waits were written for: the monotonic clock on POSIX,
// GetTickCount on Windows. It wraps after about 49.7 days.
class NativeTickSource : public ITickSource {
  public:
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t ms) override;
    void Yield() override;
};

}  // namespace vorenta
