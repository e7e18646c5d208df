#pragma once

#include <string>
#include <string_view>

namespace vorenta {

// Adds `item` to `text`, with `separator` between items; an empty item adds
// nothing, so lists of what a system may or may not know read cleanly.
inline void AppendItem(std::string& text, std::string_view separator, std::string_view item) {
    if (item.empty()) {
        return;
    }
    if (!text.empty()) {
        text += separator;
    }
    text += item;
}

}  // namespace vorenta
