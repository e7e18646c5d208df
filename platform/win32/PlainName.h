#pragma once

#include <algorithm>
#include <string_view>

namespace vorenta {

// A name Windows takes for one file in a folder as it is: no separator, drive
// or stream colon, wildcard or control character, not "." or "..", and no
// trailing dot or blank (Windows would drop them and reach another name).
inline bool IsPlainFileName(std::string_view name) {
    constexpr std::string_view kNotInNames = "<>:\"/\\|?*";
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ') {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [kNotInNames](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               kNotInNames.find(c) != std::string_view::npos;
    });
}

}  // namespace vorenta
