#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/serial/SerialRig.h"
#include "update/BasePreparation.h"

namespace vorenta::test {
namespace {

using Kind = MemorySerialDevice::EventKind;
using Event = MemorySerialDevice::Event;

// First event after index `from` that changes speed or writes.
const Event* NextLineChange(const std::vector<Event>& events, std::size_t from) {
    for (std::size_t i = from + 1; i < events.size(); ++i) {
        if (events[i].kind == Kind::Settings || events[i].kind == Kind::Write) {
            return &events[i];
        }
    }
    return nullptr;
}

class BasePreparationTest : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(BasePreparationTest, SendsFourCommandsAtTheirSpeedsWithTheWaitsBetween) {
    SerialRig rig(GetParam());
    rig.OpenSession();
    rig.device.events.clear();
    // The base answers every command; none of it may survive the preparation.
    rig.device.onWrite = [](MemorySerialDevice& line, const std::vector<std::uint8_t>&) {
        line.Feed("OK\r");
    };

    const std::uint32_t start = rig.clock.Now();
    PrepareBaseStation(rig.port, rig.clock);
    EXPECT_GE(rig.clock.Now() - start, 1840U);

    const auto& writes = rig.device.writes;
    ASSERT_EQ(writes.size(), 4U);
    const std::vector<std::pair<std::string, std::uint32_t>> expected{
        {"<<$:U9", 9600}, {"<<$:U9", 19200}, {"<\r", 38400}, {"<<RS<#C14", 38400}};
    std::size_t total = 0;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(writes[i].bytes, Bytes(expected[i].first));
        EXPECT_EQ(writes[i].settings.BaudRate, expected[i].second);
        EXPECT_EQ(writes[i].settings.ByteSize, 8);
        EXPECT_EQ(writes[i].settings.Parity, NOPARITY);
        EXPECT_EQ(writes[i].settings.StopBits, ONESTOPBIT);
        total += writes[i].bytes.size();
    }
    EXPECT_EQ(total, 23U);

    const auto& events = rig.device.events;
    std::vector<std::size_t> writeAt;
    std::size_t lastSettings = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind == Kind::Write) {
            writeAt.push_back(i);
        }
        if (events[i].kind == Kind::Settings) {
            lastSettings = i;
        }
    }
    ASSERT_EQ(writeAt.size(), 4U);
    for (std::size_t w = 0; w < 3; ++w) {
        SCOPED_TRACE(w);
        const Event* next = NextLineChange(events, writeAt[w]);
        ASSERT_NE(next, nullptr);
        EXPECT_GE(next->tick - events[writeAt[w]].tick, 210U);
    }
    ASSERT_GT(lastSettings, writeAt[3]);
    EXPECT_GE(events[lastSettings].tick - events[writeAt[3]].tick, 1010U);
    EXPECT_EQ(NextLineChange(events, writeAt[3]), &events[lastSettings]);

    // Left at the session format, with the base's answers gone.
    EXPECT_EQ(rig.device.settings.BaudRate, 38400U);
    EXPECT_EQ(rig.device.settings.Parity, NOPARITY);
    EXPECT_EQ(rig.device.settings.ByteSize, 8);
    EXPECT_EQ(rig.device.settings.StopBits, ONESTOPBIT);
    EXPECT_EQ(rig.device.Pending(), 0U);
    EXPECT_TRUE(rig.device.IsOpen());
}

// Start far from and right before the 32-bit tick counter wraps.
INSTANTIATE_TEST_SUITE_P(TickStarts, BasePreparationTest,
                         ::testing::Values(0U, 0xFFFFFF00U, 0xFFFFFFFFU));

TEST(BasePreparation, BytesArrivingInTheFinalWaitStayQueued) {
    SerialRig rig;
    rig.OpenSession();
    bool fed = false;
    // Four speed settings and four purges each discard input; after the last one
    // the base's next words must reach the first poll.
    rig.clock.onRead = [&](std::uint32_t) {
        if (!fed && rig.device.inputPurges == 8) {
            fed = true;
            rig.device.Feed("late");
        }
    };
    PrepareBaseStation(rig.port, rig.clock);
    rig.clock.onRead = nullptr;
    ASSERT_TRUE(fed);
    EXPECT_EQ(rig.port.BytesWaiting(), 4U);
}

TEST(BasePreparation, ReleaseWritesTheReleaseCommandAndWaits) {
    SerialRig rig(0xFFFFFFF0U);
    rig.OpenSession();
    ReleaseBase(rig.port, rig.clock);
    ASSERT_EQ(rig.device.writes.size(), 1U);
    EXPECT_EQ(rig.device.writes[0].bytes, (std::vector<std::uint8_t>{0x3C, 0x57}));
    EXPECT_GE(rig.clock.Now() - rig.device.writes[0].tick, 200U);
    EXPECT_TRUE(rig.device.IsOpen());
}

// A clock whose sleeps end early, as a signal or a coarse timer can make them.
class RestlessClock : public ITickSource {
  public:
    std::uint32_t GetTickCount() override {
        ++reads;
        return now;
    }
    void Sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms / 2 + 1;
    }
    std::uint32_t now = 0xFFFFFFF0U;
    int reads = 0;
    std::vector<std::uint32_t> sleeps;
};

TEST(DelayMsTest, SleepsForWhatIsLeftAndNeverReturnsEarly) {
    RestlessClock clock;
    DelayMs(clock, 1000);
    EXPECT_GE(clock.now - 0xFFFFFFF0U, 1000U);
    EXPECT_LT(clock.now - 0xFFFFFFF0U, 1010U);
    // Every sleep asks for exactly what is still missing; no reading loop in between.
    ASSERT_FALSE(clock.sleeps.empty());
    EXPECT_EQ(clock.sleeps[0], 1000U);
    EXPECT_EQ(clock.sleeps[1], 499U);
    EXPECT_LT(clock.sleeps.size(), 12U);
    EXPECT_EQ(clock.reads, static_cast<int>(clock.sleeps.size()) + 2);
}

TEST(DelayMsTest, WaitsAcrossTheTickCounterWrap) {
    FakeClock clock(0xFFFFFF00U);
    DelayMs(clock, 0x200);
    const std::uint32_t waited = clock.Now() - 0xFFFFFF00U;
    EXPECT_GE(waited, 0x200U);
    EXPECT_LT(waited, 0x210U);

    const std::uint32_t before = clock.Now();
    DelayMs(clock, 0);
    EXPECT_EQ(clock.Now(), before);
}

}  // namespace
}  // namespace vorenta::test
