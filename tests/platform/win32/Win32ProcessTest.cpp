// The program's folders, peer windows and links on Windows.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/ProcessInfo.h"
#include "platform/win32/Win32LinkOpener.h"
#include "platform/win32/Win32PeerWindows.h"
#include "platform/win32/WinApi.h"

namespace vorenta {
namespace {

TEST(Win32ProcessTest, TemporaryFolderIsALongExistingFolderWithItsBackslash) {
    const std::string folder = TemporaryFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(folder.find('~'), std::string::npos);
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0U);
}

// The program folder start-up works out from this path is tested with start-up.
TEST(Win32ProcessTest, TheProgramsOwnPathAndCommandLine) {
    const std::string exe = ExecutablePath();
    ASSERT_GT(exe.size(), 4U);
    EXPECT_EQ(exe.substr(exe.size() - 4), ".exe");
    EXPECT_NE(ProcessCommandLine().find("win32_platform_tests"), std::string::npos);
}

// A top-level window of this process standing in for the serial test program.
class PeerWindow {
  public:
    PeerWindow(const char* title, bool visible)
        : window_(::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED | (visible ? WS_VISIBLE : 0),
                                    0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)) {}
    ~PeerWindow() {
        if (window_ != nullptr) {
            ::DestroyWindow(window_);
        }
    }
    PeerWindow(const PeerWindow&) = delete;
    PeerWindow& operator=(const PeerWindow&) = delete;

    HWND Get() const { return window_; }
    std::uint64_t Handle() const { return reinterpret_cast<std::uintptr_t>(window_); }

  private:
    HWND window_;
};

const vorenta::PeerWindow* Find(const std::vector<vorenta::PeerWindow>& windows,
                                std::uint64_t handle) {
    for (const auto& window : windows) {
        if (window.handle == handle) {
            return &window;
        }
    }
    return nullptr;
}

TEST(Win32PeerWindowsTest, FindsTopLevelWindowsWithTitleAndVisibilityAndPostsToThem) {
    const PeerWindow shown("Harwen Linkscope - COM3", true);
    const PeerWindow hidden("Harwen Serial Test Program", false);
    ASSERT_NE(shown.Get(), nullptr);
    ASSERT_NE(hidden.Get(), nullptr);

    Win32PeerWindows peers;
    const auto windows = peers.TopLevelWindows();
    const auto* seenShown = Find(windows, shown.Handle());
    const auto* seenHidden = Find(windows, hidden.Handle());
    ASSERT_NE(seenShown, nullptr);
    ASSERT_NE(seenHidden, nullptr);
    EXPECT_EQ(seenShown->title, "Harwen Linkscope - COM3");
    EXPECT_TRUE(seenShown->visible);
    EXPECT_FALSE(seenHidden->visible);

    ASSERT_TRUE(peers.PostMessage(shown.Handle(), 0x8065, 1001, 7));
    MSG message{};
    ASSERT_TRUE(::PeekMessageA(&message, shown.Get(), 0x8065, 0x8065, PM_REMOVE));
    EXPECT_EQ(message.message, 0x8065U);
    EXPECT_EQ(message.wParam, 1001U);
    EXPECT_EQ(message.lParam, 7);
}

TEST(Win32PeerWindowsTest, PostingToAClosedWindowFailsQuietly) {
    std::uint64_t gone = 0;
    {
        const PeerWindow window("Harwen Linkscope", true);
        gone = window.Handle();
    }
    Win32PeerWindows peers;
    EXPECT_FALSE(peers.PostMessage(gone, 0x8065, 1002, 7));
}

TEST(Win32LinkOpenerTest, OnlyMailAndWebLinksAreHandedToTheShell) {
    Win32LinkOpener opener;
    EXPECT_FALSE(opener.OpenLink("C:\\Windows\\System32\\calc.exe"));
    EXPECT_FALSE(opener.OpenLink("file:///C:/boot.ini"));
    EXPECT_FALSE(opener.OpenLink(std::string_view("mailto:a\0b", 10)));
}

}  // namespace
}  // namespace vorenta
