#pragma once

#include "ui/HeadlessWindowHost.h"

namespace vorenta {

// Tests drive the window logic through the headless host as it is.
using MemoryWindowHost = HeadlessWindowHost;

}  // namespace vorenta
