#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>

#include "platform/linux/X11PeerWindows.h"
#include "tests/ports/PortsTestSupport.h"

// Last: Xlib's macros (None, Status, Bool) clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vorenta::testing {
namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";

// An Xvfb of the test's own on a display it picks itself (-displayfd), so
// parallel runs and a desktop on :0 are never disturbed.
class OwnXServer {
  public:
    OwnXServer() {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execl(kXvfb, kXvfb, "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                  "320x240x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes the display number once it accepts connections.
        std::string number;
        pollfd waiting{fds[0], POLLIN, 0};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline && poll(&waiting, 1, 100) >= 0) {
            char c = 0;
            if ((waiting.revents & (POLLIN | POLLHUP)) == 0) {
                continue;
            }
            if (read(fds[0], &c, 1) != 1 || c == '\n') {
                break;
            }
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) {
            name_ = ":" + number;
        }
    }
    ~OwnXServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    OwnXServer(const OwnXServer&) = delete;
    OwnXServer& operator=(const OwnXServer&) = delete;

    const std::string& DisplayName() const { return name_; }

  private:
    pid_t pid_ = -1;
    std::string name_;
};

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

Window MakeWindow(Display* display, const char* title, bool mapped) {
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
    XStoreName(display, window, title);
    XSelectInput(display, window, StructureNotifyMask);
    if (mapped) {
        XMapWindow(display, window);
        XEvent event;
        do {
            XWindowEvent(display, window, StructureNotifyMask, &event);
        } while (event.type != MapNotify);
    }
    XSync(display, False);
    return window;
}

std::optional<XClientMessageEvent> WaitForClientMessage(Display* display, Window window,
                                                        std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < deadline) {
        XEvent event;
        if (XCheckTypedWindowEvent(display, window, ClientMessage, &event)) {
            return event.xclient;
        }
        usleep(10000);
        XSync(display, False);
    }
    return std::nullopt;
}

TEST(X11PeerWindows, SerialTestProgramWindowReceivesTheReleaseRequest) {
    if (access(kXvfb, X_OK) != 0) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    OwnXServer server;
    ASSERT_FALSE(server.DisplayName().empty()) << "Xvfb did not start";
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(server.DisplayName().c_str()));
    ASSERT_NE(display, nullptr);

    const Window peer = MakeWindow(display.get(), "HARWEN LINKSCOPE COM3", true);
    const Window hidden = MakeWindow(display.get(), "Harwen Linkscope", false);
    const Window other = MakeWindow(display.get(), "xterm", true);
    const Window gone = MakeWindow(display.get(), "Harwen Serial Test Program", true);

    X11PeerWindows peers(server.DisplayName());
    const auto windows = peers.TopLevelWindows();
    ASSERT_GE(windows.size(), 4U);
    EXPECT_EQ(windows.front().handle, gone);  // topmost first
    for (const PeerWindow& window : windows) {
        if (window.handle == hidden) {
            EXPECT_FALSE(window.visible);
        }
        if (window.handle == peer) {
            EXPECT_TRUE(window.visible);
            EXPECT_EQ(window.title, "HARWEN LINKSCOPE COM3");
        }
    }

    // A window that closes between the walk and the post must not end the process.
    XDestroyWindow(display.get(), gone);
    XSync(display.get(), False);
    EXPECT_TRUE(peers.PostMessage(gone, 0x8065, 1001, 3));

    WindowUnderTest w;
    const UpdateDlgPlatform platform{w.host,     w.clock, w.serial, w.ports,
                                     w.settings, peers,   w.files};
    CPLSM_UpdateDlg dlg(platform, w.preferredPort, "PLSM_Update");
    dlg.handoff.RequestPortRelease(3);
    EXPECT_EQ(dlg.handoff.lentPort, 3);
    EXPECT_EQ(w.clock.sleeps, (std::vector<std::uint32_t>{1000}));

    const auto received = WaitForClientMessage(display.get(), peer, std::chrono::seconds(3));
    ASSERT_TRUE(received.has_value());
    EXPECT_EQ(received->message_type,
              XInternAtom(display.get(), X11PeerWindows::kMessageTypeAtom, False));
    EXPECT_EQ(received->format, 32);
    EXPECT_EQ(received->data.l[0], 0x8065);
    EXPECT_EQ(received->data.l[1], 1001);
    EXPECT_EQ(received->data.l[2], 3);
    // Posted in one go with the first: had they been sent, they would be here.
    for (const Window window : {other, hidden}) {
        EXPECT_FALSE(WaitForClientMessage(display.get(), window, std::chrono::milliseconds(200))
                         .has_value());
    }
}

TEST(X11PeerWindows, NoDisplayMeansNoWindows) {
    X11PeerWindows peers(":65000");
    EXPECT_TRUE(peers.TopLevelWindows().empty());
    EXPECT_FALSE(peers.PostMessage(1, 0x8065, 1001, 3));
}

}  // namespace
}  // namespace vorenta::testing
