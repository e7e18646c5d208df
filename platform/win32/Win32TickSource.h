#pragma once

#include "platform/TickSource.h"

namespace vorenta {

// The system's millisecond tick counter, which wraps after about 49.7 days.
class Win32TickSource : public ITickSource {
  public:
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t ms) override;
    void Yield() override;
};

}  // namespace vorenta
