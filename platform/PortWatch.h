#pragma once

namespace vorenta {

// Tells when serial ports may have appeared or gone (an adapter plugged in or
// pulled out, the port map edited), so that an idle window can list them
// again by itself.
class IPortWatch {
  public:
    virtual ~IPortWatch() = default;
    // True once after anything changed since the last call; never waits.
    virtual bool PortsChanged() = 0;
};

}  // namespace vorenta
