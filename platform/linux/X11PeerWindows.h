#pragma once

#include <memory>
#include <string>

#include "platform/PeerWindows.h"

namespace vorenta {

// Top-level windows of an X11 display. The display is opened on first use
// (and tried again on later uses while it cannot be); without one there are
// no windows. A request reaches a window as a ClientMessage of type
// HARWEN_PORT_HANDOFF, format 32, data.l = {message, wParam, lParam}.
class X11PeerWindows : public IPeerWindows {
  public:
    static constexpr const char* kMessageTypeAtom = "HARWEN_PORT_HANDOFF";

    // `displayName` empty: the display of $DISPLAY.
    explicit X11PeerWindows(std::string displayName = {});
    ~X11PeerWindows() override;
    X11PeerWindows(const X11PeerWindows&) = delete;
    X11PeerWindows& operator=(const X11PeerWindows&) = delete;

    // Topmost first: the window manager's stacking list when it keeps one,
    // else the children of the root window.
    std::vector<PeerWindow> TopLevelWindows() override;
    bool PostMessage(std::uint64_t handle, std::uint32_t message, std::uint32_t wParam,
                     std::int32_t lParam) override;

  private:
    struct Connection;
    Connection* Connect();

    std::string displayName_;
    std::unique_ptr<Connection> connection_;
};

}  // namespace vorenta
