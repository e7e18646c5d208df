#include "tools/vorenta-sim/Text.h"

namespace vorenta::sim {

namespace {
constexpr char kUpperDigits[] = "0123456789ABCDEF";
}  // namespace

std::string HexByte(std::uint8_t byte) {
    return {'0', 'x', kUpperDigits[byte >> 4], kUpperDigits[byte & 0x0F]};
}

std::string Printable(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (byte == '\r') {
            text += "\\r";
        } else if (byte == '\n') {
            text += "\\n";
        } else if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else {
            text += "\\x";
            text += kUpperDigits[byte >> 4];
            text += kUpperDigits[byte & 0x0F];
        }
    }
    return text;
}

}  // namespace vorenta::sim
