#pragma once

#include <string_view>

namespace vorenta {

// The page image lives in the temporary folder under this name.
inline constexpr std::string_view kPageImageFileName = "Hex.tmp";

}  // namespace vorenta
