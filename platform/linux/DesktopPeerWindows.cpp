#include "platform/NullPeerWindows.h"
#include "platform/PeerWindows.h"
#if VORENTA_HAVE_X11
#include "platform/linux/X11PeerWindows.h"
#endif

namespace vorenta {

std::unique_ptr<IPeerWindows> MakeDesktopPeerWindows() {
#if VORENTA_HAVE_X11
    return std::make_unique<X11PeerWindows>();
#else
    return std::make_unique<NullPeerWindows>();
#endif
}

}  // namespace vorenta
