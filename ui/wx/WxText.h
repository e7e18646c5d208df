#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

namespace vorenta::wxui {

// The utility's texts are 8-bit strings; UTF-8 when valid (device paths,
// configured contact details), otherwise taken byte for byte.
inline wxString ToWx(std::string_view text) {
    if (text.empty()) {
        return wxString();
    }
    wxString s = wxString::FromUTF8(text.data(), text.size());
    if (s.empty()) {
        s = wxString::From8BitData(text.data(), text.size());
    }
    return s;
}

}  // namespace vorenta::wxui
