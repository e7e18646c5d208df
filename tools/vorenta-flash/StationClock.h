#pragma once

#include "platform/posix/PosixTickSource.h"

namespace vorenta {

// The tick counter of the headless updater. Its waits still loop on the
// counter and never end early, but each turn of a loop gives the processor
// away for a moment instead of spinning: with a session on each of several
// ports, spinning threads would take the processor from each other and from
// the line.
class StationClock : public PosixTickSource {
  public:
    void Yield() override;
};

}  // namespace vorenta
