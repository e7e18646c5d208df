#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "SerialRig.h"
#include "serial/PacketFrame.h"

namespace vorenta::test {
namespace {

std::vector<std::uint8_t> Sequence(std::size_t n) {
    std::vector<std::uint8_t> data(n);
    std::iota(data.begin(), data.end(), std::uint8_t{1});
    return data;
}

std::string Header(const std::vector<std::uint8_t>& frame) {
    return std::string(frame.begin(), frame.begin() + 7);
}

class PacketFrameTest : public ::testing::Test {
  protected:
    void SetUp() override { rig.OpenSession(); }
    SerialRig rig;
};

TEST_F(PacketFrameTest, PollByteTravelsAsTheDocumentedTwentyThreeBytes) {
    const std::uint8_t poll = 0xC0;
    rig.port.SendPacket(&poll, 1);
    const std::vector<std::uint8_t> expected{0x3C, 0x24, 0x3A, 0x50, 0x30, 0x31, 0x36, 0x41,
                                             0x8C, 0x11, 0xEE, 0xEE, 0xFF, 0xFF, 0x00, 0x00,
                                             0x22, 0x00, 0x46, 0x01, 0xC0, 0x00, 0x00};
    ASSERT_EQ(rig.device.writes.size(), 1U);
    EXPECT_EQ(rig.device.writes[0].bytes, expected);
}

TEST_F(PacketFrameTest, DataIsChunkedIntoFramesOfAtMostEightySixBytes) {
    struct Case {
        std::size_t count;
        std::vector<std::string> headers;
        std::vector<std::size_t> sizes;
    };
    const std::vector<Case> cases{
        {86, {"<$:P101"}, {108}},
        {87, {"<$:P101", "<$:P016"}, {108, 23}},
        {172, {"<$:P101", "<$:P101"}, {108, 108}},
        {19, {"<$:P034"}, {41}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        rig.device.writes.clear();
        const auto data = Sequence(c.count);
        rig.port.SendPacket(data.data(), static_cast<int>(data.size()));
        ASSERT_EQ(rig.device.writes.size(), c.headers.size());

        std::vector<std::uint8_t> carried;
        for (std::size_t i = 0; i < c.headers.size(); ++i) {
            const auto& frame = rig.device.writes[i].bytes;
            ASSERT_EQ(frame.size(), c.sizes[i]);
            EXPECT_EQ(Header(frame), c.headers[i]);
            const std::size_t n = frame[kPacketFrameCountOffset];
            EXPECT_EQ(n + kPacketFrameOverhead, frame.size());
            EXPECT_EQ(frame[frame.size() - 2], 0);
            EXPECT_EQ(frame[frame.size() - 1], 0);
            carried.insert(carried.end(), frame.begin() + kPacketFrameDataOffset, frame.end() - 2);
        }
        // Nothing lost, reordered or duplicated across the chunks.
        EXPECT_EQ(carried, data);
    }
}

TEST_F(PacketFrameTest, EmptyOrNegativeCountSendsNothing) {
    const auto data = Sequence(4);
    rig.port.SendPacket(data.data(), 0);
    rig.port.SendPacket(data.data(), -5);
    rig.port.SendPacketText("");
    EXPECT_EQ(rig.port.WriteBytes(data.data(), -1), 0);
    EXPECT_TRUE(rig.device.writes.empty());
}

TEST_F(PacketFrameTest, TextPacketLeavesOutTheTerminator) {
    rig.port.SendPacketText("AB");
    ASSERT_EQ(rig.device.writes.size(), 1U);
    const auto& frame = rig.device.writes[0].bytes;
    EXPECT_EQ(Header(frame), "<$:P017");
    EXPECT_EQ(frame[kPacketFrameCountOffset], 2);
    EXPECT_EQ(frame[kPacketFrameDataOffset], 'A');
    EXPECT_EQ(frame[kPacketFrameDataOffset + 1], 'B');
}

TEST(PacketFrameBuilder, RefusesWhatNoFrameCanCarry) {
    PacketFrameBuffer frame{};
    frame.fill(0xAA);
    const auto data = Sequence(kPacketFrameMaxData + 1);
    EXPECT_EQ(BuildPacketFrame(data.data(), 0, frame), 0U);
    EXPECT_EQ(BuildPacketFrame(data.data(), data.size(), frame), 0U);
    EXPECT_EQ(BuildPacketFrame(nullptr, 1, frame), 0U);
    EXPECT_EQ(frame[0], 0xAA);
}

}  // namespace
}  // namespace vorenta::test
