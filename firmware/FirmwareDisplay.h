#pragma once

#include <string_view>

#include "platform/WindowServices.h"

namespace vorenta {

// What the firmware files show in the update window.
class IFirmwareDisplay {
  public:
    virtual ~IFirmwareDisplay() = default;
    // "Firmware version  =  2.1.7"
    virtual void ShowFirmwareVersion(std::string_view line) = 0;
    // "Firmware file  =  module.bin     (3-7-2011,  2:05:09 PM)"
    virtual void ShowFirmwareFile(std::string_view line) = 0;
    // Without usable files no update can begin.
    virtual void DisableUpdate() = 0;
    // A message that refuses the update, with its caption and icon.
    virtual void RefuseUpdate(std::string_view text, std::string_view caption,
                              MessageIcon icon) = 0;
    // A line for the operator's log.
    virtual void Note(std::string_view line) = 0;
};

}  // namespace vorenta
