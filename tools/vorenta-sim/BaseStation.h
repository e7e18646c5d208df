#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/vorenta-sim/FrameDecoder.h"

namespace vorenta::sim {

// The base station's side of the line: the preparation commands must come in
// their order, each at its speed; frames are relayed to the module only after
// that; the release ends the session.
class BaseStation {
  public:
    BaseStation(bool alreadyPrepared, bool checkSpeed);

    // Problems with the command, empty when it was in order.
    std::vector<std::string> OnCommand(BaseCommand command, unsigned speed);
    std::vector<std::string> OnFrame(unsigned speed);

    bool Prepared() const;
    bool Released() const { return released_; }

  private:
    void CheckSpeed(std::string_view what, unsigned speed, unsigned expected,
                    std::vector<std::string>& problems) const;

    std::size_t step_;
    bool checkSpeed_;
    bool released_ = false;
};

}  // namespace vorenta::sim
