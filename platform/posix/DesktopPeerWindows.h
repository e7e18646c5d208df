#pragma once

#include <memory>

#include "platform/PeerWindows.h"

namespace vorenta {

// The peer windows of this desktop: the X11 display named by $DISPLAY when the
// program was built with X11, otherwise none.
std::unique_ptr<IPeerWindows> MakeDesktopPeerWindows();

}  // namespace vorenta
