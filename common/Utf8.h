#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vorenta {

struct Utf8Sequence {
    std::size_t length = 0;  // 2 to 4 bytes
    std::uint32_t codePoint = 0;
};

// The well-formed multi-byte UTF-8 sequence that starts at `at`: shortest form,
// no surrogate, nothing above U+10FFFF. Nothing for a single byte below 0x80,
// a stray or cut sequence, or anything else that is not UTF-8.
std::optional<Utf8Sequence> Utf8SequenceAt(std::string_view text, std::size_t at);

}  // namespace vorenta
