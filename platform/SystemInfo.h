#pragma once

#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// "Linux 6.1.0-18-amd64 x86_64 (Debian GNU/Linux 12 (bookworm))", as far as known.
std::string PlatformDescription();
// The wall-clock time now, local.
LocalTime LocalTimeNow();

}  // namespace vorenta
