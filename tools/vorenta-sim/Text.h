#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vorenta::sim {

// "0x3C"
std::string HexByte(std::uint8_t byte);
// Bytes as text for people: printable ASCII as is, the rest as \r, \n or \xNN.
std::string Printable(std::span<const std::uint8_t> bytes);

inline std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace vorenta::sim
