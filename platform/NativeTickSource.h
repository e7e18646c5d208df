#pragma once

#include "platform/TickSource.h"

namespace vorenta {

// Milliseconds of the monotonic clock, truncated to 32 bits like the
// platform tick counter the waits were written for.
class PosixTickSource : public ITickSource {
  public:
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t ms) override;
    void Yield() override;
};

}  // namespace vorenta
