// Our waits on a model of a Windows PC's timers (not a timing of this
// machine): today's sleeps and counter against the fine clock, the sleeps
// that end on it and the reply wait that blocks in the driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "TimerModelRun.h"
#include "platform/FineSleep.h"
#include "platform/fake/WindowsTimerModel.h"

namespace vorenta::test {
namespace {

using Clock = WindowsTickModel::Clock;
using InputWait = TimedSerialDevice::InputWait;

// Sixteen pages; the module's answer starts 30 to 45 ms after the last byte
// of a send, so each reply comes while the PC already waits for it, at any
// point of a tick of the system timer.
constexpr std::size_t kPages = 16;
constexpr std::uint64_t kAnswerDelayUs = 30000;
constexpr std::uint64_t kAnswerJitterUs = 15625;

TimerModelSetup Today() {
    TimerModelSetup setup;
    setup.firmwareBytes = kPages * 256;
    setup.answerDelayUs = kAnswerDelayUs;
    setup.answerJitterUs = kAnswerJitterUs;
    return setup;
}

TimerModelSetup New(bool highResolutionTimer) {
    TimerModelSetup setup = Today();
    setup.clock = Clock::Fine;
    setup.inputWait = InputWait::BlockInDriver;
    setup.raisesTimerWhileOpen = true;
    setup.highResolutionTimer = highResolutionTimer;
    return setup;
}

double MeanUs(const std::vector<std::uint64_t>& values) {
    return values.empty() ? 0.0
                          : static_cast<double>(
                                std::accumulate(values.begin(), values.end(), std::uint64_t{0})) /
                                static_cast<double>(values.size());
}

TEST(WindowsTimerModel, TodaysPausesRunLongAndRepliesWaitForTheNextTick) {
    const TimerModelResult today = RunUpdateOnTimerModel(Today());
    ASSERT_TRUE(today.succeeded);
    ASSERT_EQ(today.pages, kPages);
    ASSERT_EQ(today.pausesUs.size(), 3 * kPages);
    ASSERT_EQ(today.replyDelaysUs.size(), kPages);

    // Never short, but most end on the tick after their 20 ms.
    EXPECT_GE(*std::min_element(today.pausesUs.begin(), today.pausesUs.end()), 20000U);
    EXPECT_GT(*std::max_element(today.pausesUs.begin(), today.pausesUs.end()), 30000U);
    EXPECT_GT(MeanUs(today.pausesUs), 24000.0);
    // A reply is seen when a 1 ms sleep ends, on the next tick.
    EXPECT_GT(*std::max_element(today.replyDelaysUs.begin(), today.replyDelaysUs.end()), 5000U);
    EXPECT_GT(MeanUs(today.replyDelaysUs), 2000.0);
    // Today nobody raises the timer.
    EXPECT_EQ(today.periodRequestsDuring, 0);
}

TEST(WindowsTimerModel, NewPausesLastTwentyToTwentyOneMsAndRepliesAreTakenOnArrival) {
    for (const bool highResolutionTimer : {false, true}) {
        SCOPED_TRACE(highResolutionTimer ? "high-resolution timer" : "timer raised to 1 ms");
        const TimerModelResult result = RunUpdateOnTimerModel(New(highResolutionTimer));
        ASSERT_TRUE(result.succeeded);
        ASSERT_EQ(result.pausesUs.size(), 3 * kPages);
        ASSERT_EQ(result.replyDelaysUs.size(), kPages);
        for (const std::uint64_t pause : result.pausesUs) {
            EXPECT_GE(pause, 20000U);
            EXPECT_LE(pause, 21000U);
        }
        for (const std::uint64_t delay : result.replyDelaysUs) {
            EXPECT_LE(delay, 1000U);
        }
        // The timer is raised while the session has its port, and given back.
        EXPECT_EQ(result.periodRequestsDuring, 1);
        EXPECT_EQ(result.periodRequestsLeft, 0);
    }
}

TEST(WindowsTimerModel, NewWaitsBringTheUpdateDownToTheLinesOwnTime) {
    const TimerModelResult today = RunUpdateOnTimerModel(Today());
    const TimerModelResult fine = RunUpdateOnTimerModel(New(false));
    // Every wait exact: what the line and the module themselves take.
    TimerModelSetup exact = New(false);
    exact.timerPeriodUs = 1;
    const TimerModelResult own = RunUpdateOnTimerModel(exact);
    ASSERT_TRUE(today.succeeded && fine.succeeded && own.succeeded);
    // Today: a share of every page's pauses and reply is lost to the timer.
    EXPECT_GT(today.sessionUs, own.sessionUs + kPages * 20000);
    // New: within a millisecond for each of a page's four pauses and its reply.
    const auto lost = static_cast<std::int64_t>(fine.sessionUs - own.sessionUs);
    EXPECT_LE(std::abs(lost), static_cast<std::int64_t>(kPages * 5 * 1000));
}

TEST(WindowsTimerModel, AFailedSessionGivesTheTimerBackToo) {
    TimerModelSetup setup = New(false);
    setup.silentAfterFirstPage = true;
    const TimerModelResult result = RunUpdateOnTimerModel(setup);
    EXPECT_FALSE(result.succeeded);
    EXPECT_EQ(result.periodRequestsDuring, 1);
    EXPECT_EQ(result.periodRequestsLeft, 0);
}

// The sleep of the fine clock on every kind of timer a PC may have.
TEST(FineSleep, NeverEndsEarlyAndEndsAsSoonAsTheTimerAllows) {
    struct Case {
        const char* name;
        bool raised;
        bool highResolution;
        std::uint64_t latestUs;  // after the deadline
    };
    for (const Case& c :
         {Case{"default timer", false, false, 15625}, Case{"raised timer", true, false, 1000},
          Case{"high-resolution timer", false, true, 500}}) {
        SCOPED_TRACE(c.name);
        WindowsTimerModel model(7777);
        model.hasHighResolutionTimer = c.highResolution;
        if (c.raised) {
            model.BeginPeriod();
        }
        const FineSleepCalls calls{
            [&model] { return model.NowUs(); },
            [&model](std::uint64_t us) { return model.WaitHighResolution(us); },
            [&model](std::uint32_t ms) { model.Sleep(ms); }};
        // Deadlines at every phase of the timer, and one already passed.
        for (std::uint64_t offset = 0; offset < 40000; offset += 1234) {
            const std::uint64_t deadline = model.NowUs() + 20000 + offset % 977;
            SleepUntil(calls, deadline);
            EXPECT_GE(model.NowUs(), deadline);
            EXPECT_LE(model.NowUs(), deadline + c.latestUs);
            model.Advance(offset);
        }
        const std::uint64_t before = model.NowUs();
        SleepUntil(calls, before - 1);
        EXPECT_EQ(model.NowUs(), before);
    }
}

TEST(FineSleep, ASystemSleepThatEndsEarlyIsSleptAgain) {
    std::uint64_t now = 0;
    std::vector<std::uint32_t> sleeps;
    // A sleep that returns most of a millisecond short of what it was asked.
    const FineSleepCalls calls{[&now] { return now; }, nullptr,
                               [&](std::uint32_t ms) {
                                   sleeps.push_back(ms);
                                   now += ms == 0 ? 10 : ms * 1000ULL - 600;
                               }};
    SleepUntil(calls, 20000);
    EXPECT_GE(now, 20000U);
    EXPECT_LT(now, 20010U);
    ASSERT_GE(sleeps.size(), 2U);
    EXPECT_EQ(sleeps.front(), 20U);
}

}  // namespace
}  // namespace vorenta::test
