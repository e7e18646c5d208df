#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorenta {

// Top-level windows of other programs, for the port hand-off with the serial
// test program.
struct PeerWindow {
    std::uint64_t handle = 0;
    bool visible = false;
    std::string title;
};

class IPeerWindows {
  public:
    virtual ~IPeerWindows() = default;
    // Every top-level window in Z order, topmost first.
    virtual std::vector<PeerWindow> TopLevelWindows() = 0;
    // Posts without waiting; a window that has just gone fails silently.
    virtual bool PostMessage(std::uint64_t handle, std::uint32_t message, std::uint32_t wParam,
                             std::int32_t lParam) = 0;
};

// The peer windows of this desktop: the X11 display named by $DISPLAY on Linux
// (none when built without X11), the desktop's top-level windows on Windows.
std::unique_ptr<IPeerWindows> MakeDesktopPeerWindows();

}  // namespace vorenta
