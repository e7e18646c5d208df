#pragma once

#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// The system the program runs on, as far as known: "Linux 6.1.0-18-amd64
// x86_64 (Debian GNU/Linux 12 (bookworm))", "Windows 10.0.19045 x86_64", and
// " (Wine 8.0)" when running under Wine.
std::string PlatformDescription();
// The wall-clock time now, local.
LocalTime LocalTimeNow();

}  // namespace vorenta
