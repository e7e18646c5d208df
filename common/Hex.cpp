#include "common/Hex.h"

namespace vorenta {

namespace {
constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr char kLowerDigits[] = "0123456789abcdef";
}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kUpperDigits[byte >> 4U];
        text += kUpperDigits[byte & 0x0FU];
    }
    return text;
}

std::string HexDigits(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text += kLowerDigits[byte >> 4U];
        text += kLowerDigits[byte & 0x0FU];
    }
    return text;
}

}  // namespace vorenta
