#pragma once

#include "platform/PeerWindows.h"

namespace vorenta {

// Top-level windows of this desktop (EnumWindows, which visits them in Z
// order), and messages posted to them with PostMessageA.
class Win32PeerWindows : public IPeerWindows {
  public:
    std::vector<PeerWindow> TopLevelWindows() override;
    bool PostMessage(std::uint64_t handle, std::uint32_t message, std::uint32_t wParam,
                     std::int32_t lParam) override;
};

}  // namespace vorenta
