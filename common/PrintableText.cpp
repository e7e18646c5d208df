#include "common/PrintableText.h"

#include <cstdint>

namespace vorenta {

namespace {

constexpr char kReplacement = '?';

// Length of the well-formed UTF-8 sequence at `i` (1 to 4), 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        code = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        code = lead & 0x0FU;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        code = lead & 0x07U;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<std::uint8_t>(text[i + k]);
        if ((next & 0xC0U) != 0x80U) {
            return 0;
        }
        code = (code << 6U) | (next & 0x3FU);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool c1Control = code >= 0x80 && code <= 0x9F;
    if (code < min || code > 0x10FFFF || surrogate || c1Control) {
        return 0;
    }
    return length;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x80) {
            const bool control = (byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F;
            shown += control ? kReplacement : static_cast<char>(byte);
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            shown += kReplacement;
            ++i;
        } else {
            shown.append(text.substr(i, length));
            i += length;
        }
    }
    return shown;
}

}  // namespace vorenta
