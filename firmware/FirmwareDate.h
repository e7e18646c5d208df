#pragma once

#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// The modification date as the firmware line shows it after the file name:
// five blanks, then "(M-D-YYYY, hh:mm:ss AM)" with the 12-hour hour padded
// by a blank. Hour 0 shows as " 0" with AM, not as 12.
std::string FormatFirmwareDate(const LocalTime& time);

}  // namespace vorenta
