#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vorenta {

// "3C 57": upper case, one blank between bytes, as the logs show the wire.
std::string HexBytes(std::span<const std::uint8_t> bytes);
// "3c57": lower case, no separators, as digests are written.
std::string HexDigits(std::span<const std::uint8_t> bytes);

}  // namespace vorenta
