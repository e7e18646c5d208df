#include "tools/vorenta-sim/Text.h"

namespace vorenta::sim {

namespace {
constexpr char kLowerDigits[] = "0123456789abcdef";
constexpr char kUpperDigits[] = "0123456789ABCDEF";
}  // namespace

std::string HexByte(std::uint8_t byte) {
    return {'0', 'x', kUpperDigits[byte >> 4], kUpperDigits[byte & 0x0F]};
}

std::string HexString(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text += kLowerDigits[byte >> 4];
        text += kLowerDigits[byte & 0x0F];
    }
    return text;
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

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (c == '\r') {
            json += "\\r";
        } else if (c == '\n') {
            json += "\\n";
        } else if (byte < 0x20 || byte >= 0x7F) {
            // Keeps the log valid UTF-8 whatever bytes a command carried.
            json += "\\u00";
            json += kLowerDigits[byte >> 4];
            json += kLowerDigits[byte & 0x0F];
        } else {
            json += c;
        }
    }
    json += '"';
    return json;
}

}  // namespace vorenta::sim
