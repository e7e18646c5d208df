// The tick source on a model of a PC's timers (Wine sleeps on Linux's timers
// and cannot show what a default Windows timer does), and on the real calls
// where only a bound that holds everywhere is checked.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/fake/WindowsTimerModel.h"
#include "platform/win32/TimerApi.h"
#include "platform/win32/Win32TickSource.h"

namespace vorenta {
namespace {

constexpr LONGLONG kFrequency = 10000000;  // what most PCs report
constexpr std::uint64_t kWrapMs = std::uint64_t{1} << 32U;

// The timer calls of a PC, on the model.
struct TimerDouble {
    explicit TimerDouble(std::uint64_t startUs = 5000000) : model(startUs) {}

    WindowsTimerModel model;
    std::vector<DWORD> timerFlags;   // of every CreateWaitableTimerExW
    std::vector<LONGLONG> dueTimes;  // of every SetWaitableTimer
    int timersOpen = 0;
    DWORD waitResult = WAIT_OBJECT_0;  // what WaitForSingleObject says
    std::vector<DWORD> sleeps;

    TimerApi Api() {
        TimerApi api;
        api.queryPerformanceFrequency = [](LARGE_INTEGER* f) {
            f->QuadPart = kFrequency;
            return TRUE;
        };
        api.queryPerformanceCounter = [this](LARGE_INTEGER* c) {
            c->QuadPart = static_cast<LONGLONG>(model.NowUs()) * (kFrequency / 1000000);
            return TRUE;
        };
        api.createWaitableTimerEx = [this](LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD flags, DWORD) {
            timerFlags.push_back(flags);
            if (!model.hasHighResolutionTimer) {
                return HANDLE{nullptr};  // ERROR_INVALID_PARAMETER before Windows 10 1803
            }
            ++timersOpen;
            return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x70));
        };
        api.setWaitableTimer = [this](HANDLE, const LARGE_INTEGER* due, LONG, PTIMERAPCROUTINE,
                                      LPVOID, BOOL) {
            dueTimes.push_back(due->QuadPart);
            return TRUE;
        };
        api.waitForSingleObject = [this](HANDLE, DWORD) {
            if (waitResult == WAIT_OBJECT_0) {
                // Relative due times are negative, in 100 ns.
                model.WaitHighResolution(static_cast<std::uint64_t>(-dueTimes.back()) / 10);
            }
            return waitResult;
        };
        api.closeHandle = [this](HANDLE) {
            --timersOpen;
            return TRUE;
        };
        api.sleep = [this](DWORD ms) {
            sleeps.push_back(ms);
            model.Sleep(ms);
        };
        return api;
    }
};

// How long DelayMs took on the model, in microseconds.
std::uint64_t TimedDelay(TimerDouble& timers, ITickSource& clock, std::uint32_t ms) {
    const std::uint64_t start = timers.model.NowUs();
    DelayMs(clock, ms);
    return timers.model.NowUs() - start;
}

TEST(Win32TickSource, PausesNeverEndEarlyAndEndAsSoonAsThePcsTimerAllows) {
    struct Case {
        const char* name;
        bool highResolution;
        bool raised;
        std::uint64_t latestUs;
    };
    for (const Case& c :
         {Case{"Windows 10 1803 and later", true, false, 500},
          Case{"older Windows, timer raised while the port is open", false, true, 1000},
          Case{"older Windows, default timer", false, false, 15625}}) {
        SCOPED_TRACE(c.name);
        TimerDouble timers;
        timers.model.hasHighResolutionTimer = c.highResolution;
        if (c.raised) {
            timers.model.BeginPeriod();
        }
        const TimerApi api = timers.Api();
        Win32TickSource clock(api);
        EXPECT_EQ(clock.HasHighResolutionTimer(), c.highResolution);
        // Pauses that start at every phase of the system timer.
        for (std::uint64_t phase = 0; phase < 16000; phase += 731) {
            timers.model.Advance(phase);
            const std::uint64_t took = TimedDelay(timers, clock, 20);
            EXPECT_GE(took, 20000U);
            EXPECT_LE(took, 20000 + c.latestUs);
        }
        EXPECT_EQ(timers.timersOpen, 0);  // every timer closed again
    }
}

TEST(Win32TickSource, TheHighResolutionTimerIsAskedForTheTimeLeftInHundredsOfNanoseconds) {
    TimerDouble timers;
    timers.model.hasHighResolutionTimer = true;
    const TimerApi api = timers.Api();
    Win32TickSource clock(api);
    timers.timerFlags.clear();
    timers.model.Advance(300);  // 300 us into a millisecond

    clock.Sleep(20);
    ASSERT_EQ(timers.timerFlags.size(), 1U);
    EXPECT_EQ(timers.timerFlags[0], 0x00000002U);  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
    ASSERT_FALSE(timers.dueTimes.empty());
    // Relative, and within the microsecond or two the reading itself costs.
    EXPECT_LE(timers.dueTimes[0], -199980);
    EXPECT_GE(timers.dueTimes[0], -200000);
    EXPECT_TRUE(timers.sleeps.empty());

    // A timer that stops working is closed, and Sleep takes over.
    timers.waitResult = WAIT_FAILED;
    const std::uint64_t took = TimedDelay(timers, clock, 20);
    EXPECT_GE(took, 20000U);
    EXPECT_FALSE(timers.sleeps.empty());
    EXPECT_EQ(timers.timersOpen, 0);
}

TEST(Win32TickSource, TheCounterIsThePerformanceCounterAndWrapsAsGetTickCountDoes) {
    // Five milliseconds before the 32-bit millisecond counter wraps.
    TimerDouble timers((kWrapMs - 5) * 1000);
    timers.model.BeginPeriod();
    const TimerApi api = timers.Api();
    Win32TickSource clock(api);
    EXPECT_EQ(clock.GetTickCount(), 0xFFFFFFFBU);
    // Moves with the true time, not in 15.625 ms steps.
    timers.model.Advance(1400);
    EXPECT_EQ(clock.GetTickCount(), 0xFFFFFFFCU);

    // A pause across the wrap is as long as any other.
    const std::uint64_t took = TimedDelay(timers, clock, 20);
    EXPECT_GE(took, 20000U);
    EXPECT_LE(took, 21000U);
    EXPECT_LT(clock.GetTickCount(), 20U);
}

TEST(Win32TickSource, OnThisSystemAPauseIsNeverShort) {
    Win32TickSource clock;
    std::printf("high-resolution waitable timer here: %s\n",
                clock.HasHighResolutionTimer() ? "yes" : "no");
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    for (int i = 0; i < 5; ++i) {
        LARGE_INTEGER before{};
        LARGE_INTEGER after{};
        ::QueryPerformanceCounter(&before);
        DelayMs(clock, 20);
        ::QueryPerformanceCounter(&after);
        // Only the lower bound: how late a sleep ends depends on the machine.
        EXPECT_GE((after.QuadPart - before.QuadPart) * 1000000 / frequency.QuadPart, 20000);
    }
}

}  // namespace
}  // namespace vorenta
