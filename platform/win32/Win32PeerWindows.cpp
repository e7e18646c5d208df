#include "platform/win32/Win32PeerWindows.h"

#include <array>
#include <cstdint>

#include "platform/win32/WinApi.h"

namespace vorenta {

namespace {

// Titles are read into a buffer of this many characters, terminator included.
constexpr int kTitleChars = 100;

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    // EnumWindows hands back the pointer it was given, as a number.
    auto& windows =
        *reinterpret_cast<std::vector<PeerWindow>*>(context);  // NOLINT(performance-no-int-to-ptr)
    std::array<char, kTitleChars> title{};
    const int length = ::GetWindowTextA(window, title.data(), kTitleChars);
    windows.push_back(PeerWindow{reinterpret_cast<std::uintptr_t>(window),
                                 ::IsWindowVisible(window) != FALSE,
                                 std::string(title.data(), length > 0 ? length : 0)});
    return TRUE;
}

}  // namespace

std::vector<PeerWindow> Win32PeerWindows::TopLevelWindows() {
    std::vector<PeerWindow> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool Win32PeerWindows::PostMessage(std::uint64_t handle, std::uint32_t message,
                                   std::uint32_t wParam, std::int32_t lParam) {
    // A window that closed in the meantime makes the post fail; nothing else happens.
    // Window handles cross the portable interface as numbers.
    HWND window = reinterpret_cast<HWND>(  // NOLINT(performance-no-int-to-ptr)
        static_cast<std::uintptr_t>(handle));
    return ::PostMessageA(window, message, wParam, lParam) != FALSE;
}

std::unique_ptr<IPeerWindows> MakeDesktopPeerWindows() {
    return std::make_unique<Win32PeerWindows>();
}

}  // namespace vorenta
