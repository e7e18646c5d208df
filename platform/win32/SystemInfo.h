#pragma once

#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// "Windows 10.0.19045 x86_64", and " (Wine 8.0)" when running under Wine.
std::string PlatformDescription();
// The wall-clock time now, local.
LocalTime LocalTimeNow();

}  // namespace vorenta
