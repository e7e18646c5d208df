#pragma once

#include "platform/PeerWindows.h"
#include "platform/TickSource.h"
#include "platform/WindowServices.h"

namespace vorenta {

// Borrowing a port from the maker's serial test program and giving it back.
class PortHandoff {
  public:
    static constexpr int kNoPort = -1;

    PortHandoff(IPeerWindows& peers, ITickSource& clock, IWindowServices& window)
        : peers_(peers), clock_(clock), window_(window) {}

    // Asks the serial test program to release COM `comNumber` and gives it a
    // second to do so; remembers the port as lent when a window was asked.
    void RequestPortRelease(int comNumber);
    // Tells the serial test program it may take its port back; nothing when
    // no port is lent.
    void ReturnLentPort();

    int lentPort = kNoPort;

  private:
    IPeerWindows& peers_;
    ITickSource& clock_;
    IWindowServices& window_;
};

}  // namespace vorenta
