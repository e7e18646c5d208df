#include "platform/win32/Win32LinkOpener.h"

#include <cstdint>
#include <string>

#include "platform/win32/WinApi.h"

#include <shellapi.h>

namespace vorenta {

namespace {

// ShellExecuteA reports success with a value above this one.
constexpr std::intptr_t kLastShellError = 32;

bool IsOpenableTarget(std::string_view target) {
    return target.rfind("mailto:", 0) == 0 || target.rfind("http://", 0) == 0 ||
           target.rfind("https://", 0) == 0;
}

}  // namespace

bool Win32LinkOpener::OpenLink(std::string_view target) {
    // Only links: a program or document name must never be started from here.
    if (!IsOpenableTarget(target) || target.find('\0') != std::string_view::npos) {
        return false;
    }
    const std::string text(target);
    const HINSTANCE result =
        ::ShellExecuteA(nullptr, "open", text.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<std::intptr_t>(result) > kLastShellError;
}

}  // namespace vorenta
