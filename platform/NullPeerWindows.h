#pragma once

#include "platform/PeerWindows.h"

namespace vorenta {

// Peer windows where there is no window system to ask: nothing is found, so
// nothing is ever sent.
class NullPeerWindows : public IPeerWindows {
  public:
    std::vector<PeerWindow> TopLevelWindows() override { return {}; }
    bool PostMessage(std::uint64_t, std::uint32_t, std::uint32_t, std::int32_t) override {
        return false;
    }
};

}  // namespace vorenta
