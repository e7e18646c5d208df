#include "platform/win32/SystemErrorText.h"

#include <array>

#include "platform/win32/WinApi.h"

namespace vorenta {

std::string SystemErrorText(unsigned long error) {
    std::array<char, 512> buffer{};
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                         0, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
    std::string text(buffer.data(), length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = "system error " + std::to_string(error);
    }
    return text;
}

}  // namespace vorenta
