// The console's stop requests, as the flash tool polls them: Ctrl+C is
// counted, Ctrl+Break asks to terminate, and neither ends the process.
#include <gtest/gtest.h>

#include <functional>

#include "platform/StopSignals.h"
#include "platform/win32/WinApi.h"

namespace vorenta {
namespace {

// The console runs its handlers on a thread of their own: give it time.
bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) {
            return true;
        }
        ::Sleep(10);
    }
    return condition();
}

// Events go to every process on a console: the test takes one of its own, so
// that nothing else (the test runner) receives them.
bool OwnConsole() {
    ::FreeConsole();
    return ::AllocConsole() != FALSE;
}

TEST(Win32StopSignalsTest, CtrlCIsCountedAndTheProgramGoesOn) {
    if (!OwnConsole()) {
        GTEST_SKIP() << "no console of its own to send the events on";
    }
    const StopSignals signals;
    ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    EXPECT_TRUE(Eventually([&signals] { return signals.Interrupts() == 1; }));
    ASSERT_TRUE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    EXPECT_TRUE(Eventually([&signals] { return signals.Interrupts() == 2; }));
    EXPECT_FALSE(signals.TerminationRequested());
}

TEST(Win32StopSignalsTest, CtrlBreakAsksToTerminate) {
    if (!OwnConsole()) {
        GTEST_SKIP() << "no console of its own to send the events on";
    }
    const StopSignals signals;
    if (!::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0)) {
        GTEST_SKIP() << "this console cannot send Ctrl+Break (Wine cannot)";
    }
    EXPECT_TRUE(Eventually([&signals] { return signals.TerminationRequested(); }));
    EXPECT_EQ(signals.Interrupts(), 0);
}

}  // namespace
}  // namespace vorenta
