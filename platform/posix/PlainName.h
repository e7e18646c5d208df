#pragma once

#include <string_view>

namespace vorenta {

// A name that stands for one entry directly inside a folder: not empty, not
// "." or "..", no separator, and no NUL, where the system would cut the name
// short and reach another file.
inline bool IsPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace vorenta
