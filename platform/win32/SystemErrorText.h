#pragma once

#include <string>

namespace vorenta {

// The system's own words for a Win32 error code, on one line; the number when
// the system has none.
std::string SystemErrorText(unsigned long error);

}  // namespace vorenta
