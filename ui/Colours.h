#pragma once

#include <cstdint>

namespace vorenta {

// Colours as 0x00BBGGRR values.
constexpr std::uint32_t Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8U) |
           (static_cast<std::uint32_t>(b) << 16U);
}

inline constexpr std::uint32_t kEmphasisRed = Rgb(192, 0, 0);
inline constexpr std::uint32_t kStepLineGreen = Rgb(0, 128, 0);

}  // namespace vorenta
