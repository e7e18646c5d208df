#include "common/PrintableText.h"

#include <cstdint>

#include "common/Utf8.h"

namespace vorenta {

namespace {

constexpr char kReplacement = '?';

std::string Printable(std::string_view text, bool keepLineBreaks) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x80) {
            const bool kept = keepLineBreaks && (byte == '\n' || byte == '\t');
            const bool control = (byte < 0x20 && !kept) || byte == 0x7F;
            shown += control ? kReplacement : static_cast<char>(byte);
            ++i;
            continue;
        }
        // The C1 controls are code points too, and act on many terminals.
        const auto sequence = Utf8SequenceAt(text, i);
        if (!sequence || sequence->codePoint <= 0x9F) {
            shown += kReplacement;
            ++i;
        } else {
            shown.append(text.substr(i, sequence->length));
            i += sequence->length;
        }
    }
    return shown;
}

}  // namespace

std::string PrintableText(std::string_view text) {
    return Printable(text, true);
}

std::string PrintableLine(std::string_view text) {
    return Printable(text, false);
}

}  // namespace vorenta
