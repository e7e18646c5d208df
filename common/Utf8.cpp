#include "common/Utf8.h"

namespace vorenta {

std::optional<Utf8Sequence> Utf8SequenceAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<std::uint8_t>(text[at]);
    Utf8Sequence sequence;
    std::uint32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        sequence = {2, lead & 0x1FU};
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        sequence = {3, lead & 0x0FU};
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        sequence = {4, lead & 0x07U};
        lowest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (sequence.length > text.size() - at) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k < sequence.length; ++k) {
        const auto next = static_cast<std::uint8_t>(text[at + k]);
        if ((next & 0xC0U) != 0x80U) {
            return std::nullopt;
        }
        sequence.codePoint = (sequence.codePoint << 6U) | (next & 0x3FU);
    }
    const std::uint32_t code = sequence.codePoint;
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    return sequence;
}

}  // namespace vorenta
