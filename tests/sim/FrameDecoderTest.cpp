#include "tools/vorenta-sim/FrameDecoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TransferDriver.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/MemorySerialDevice.h"
#include "serial/CRS232.h"
#include "serial/StaticPortTable.h"

namespace vorenta::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = WireItem::Kind;

// The poll byte in its frame, as the base station expects it.
const Bytes kPollFrame = {0x3C, 0x24, 0x3A, 0x50, 0x30, 0x31, 0x36, 0x41, 0x8C, 0x11, 0xEE, 0xEE,
                          0xFF, 0xFF, 0x00, 0x00, 0x22, 0x00, 0x46, 0x01, 0xC0, 0x00, 0x00};

std::vector<WireItem> Decode(const Bytes& bytes, unsigned speed = 38400) {
    FrameDecoder decoder;
    std::vector<WireItem> items;
    decoder.Feed(bytes, speed, items);
    decoder.Finish("line closed", items);
    return items;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// What the updater's own port object writes for SendPacket of `data`.
Bytes SentByPortObject(const Bytes& data) {
    FakeClock clock;
    MemorySerialDevice device(clock);
    StaticPortTable ports({{1, "/dev/null"}});
    CRS232 port(device, ports, clock);
    EXPECT_EQ(port.Open(1, 38400, 'N', 8, 1), 1);
    port.SendPacket(data.data(), static_cast<int>(data.size()));
    return device.AllWritten();
}

TEST(FrameDecoder, TakesThePollFrameByteForByte) {
    const auto items = Decode(kPollFrame);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].kind, Kind::Frame);
    EXPECT_EQ(items[0].bytes, Bytes{0xC0});
    EXPECT_EQ(items[0].wireLength, 23U);
}

TEST(FrameDecoder, TakesAFullFrameOf86Bytes) {
    Bytes data(86);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(0xFF - i);
    }
    const Bytes frame =
        Join({{'<', '$', ':', 'P', '1', '0', '1'},
              {0x41, 0x8C, 0x11, 0xEE, 0xEE, 0xFF, 0xFF, 0x00, 0x00, 0x22, 0x00, 0x46},
              {86},
              data,
              {0x00, 0x00}});
    const auto items = Decode(frame);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].kind, Kind::Frame);
    EXPECT_EQ(items[0].bytes, data);
}

TEST(FrameDecoder, TakesWhatThePortObjectSendsInTheUpdatersChunks) {
    for (const std::size_t size : {1U, 4U, 19U, 86U, 87U, 172U, 256U}) {
        SCOPED_TRACE(size);
        const Bytes data = test::TestImage(1);
        const Bytes sent(data.begin(), data.begin() + static_cast<long>(size));
        const auto items = Decode(SentByPortObject(sent));
        Bytes joined;
        std::vector<std::size_t> chunks;
        for (const WireItem& item : items) {
            ASSERT_EQ(item.kind, Kind::Frame) << item.problem;
            chunks.push_back(item.bytes.size());
            joined.insert(joined.end(), item.bytes.begin(), item.bytes.end());
        }
        EXPECT_EQ(joined, sent);
        if (size == 87) {
            EXPECT_EQ(chunks, (std::vector<std::size_t>{86, 1}));
        }
        if (size == 256) {
            EXPECT_EQ(chunks, (std::vector<std::size_t>{86, 86, 84}));
        }
    }
}

TEST(FrameDecoder, RecognisesTheBaseCommands) {
    const auto items = Decode(Join(
        {test::Bytes("<<$:U9"), test::Bytes("<\r"), test::Bytes("<<RS<#C14"), test::Bytes("<W")}));
    ASSERT_EQ(items.size(), 4U);
    const std::vector<BaseCommand> expected{BaseCommand::Speed, BaseCommand::Return,
                                            BaseCommand::Radio, BaseCommand::Release};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].kind, Kind::Command);
        EXPECT_EQ(items[i].command, expected[i]);
    }
}

struct Malformed {
    std::string name;
    Bytes frame;
    std::string problem;
};

std::vector<Malformed> MalformedFrames() {
    std::vector<Malformed> cases;
    Bytes frame = kPollFrame;
    frame[5] = 'x';
    cases.push_back({"length digit not a digit", frame, "length digit at offset 5"});
    frame = kPollFrame;
    frame[6] = '7';  // "017" for a frame with 16 bytes after the digits
    cases.push_back({"length digits disagree", frame, "length digits say 17 but 16"});
    for (std::size_t at = 7; at < 19; ++at) {
        frame = kPollFrame;
        frame[at] ^= 0x01;
        cases.push_back({"fixed byte " + std::to_string(at), frame,
                         "fixed byte at offset " + std::to_string(at)});
    }
    cases.push_back({"count 0",
                     Join({Bytes(kPollFrame.begin(), kPollFrame.begin() + 19), {0x00, 0x00, 0x00}}),
                     "count byte 0"});
    cases.push_back({"count 87",
                     Join({Bytes(kPollFrame.begin(), kPollFrame.begin() + 19),
                           {87},
                           Bytes(87, 0x11),
                           {0x00, 0x00}}),
                     "count byte 87"});
    frame = kPollFrame;
    frame[21] = 0x01;
    cases.push_back({"trailer not zero", frame, "trailer byte at offset 21"});
    return cases;
}

TEST(FrameDecoder, RejectsEachKindOfMalformedFrameAndRecoversAfterIt) {
    for (const Malformed& bad : MalformedFrames()) {
        SCOPED_TRACE(bad.name);
        const auto items = Decode(Join({bad.frame, kPollFrame}));
        ASSERT_GE(items.size(), 2U);
        EXPECT_EQ(items[0].kind, Kind::Violation);
        EXPECT_NE(items[0].problem.find(bad.problem), std::string::npos) << items[0].problem;
        // The good frame after it still comes through, with nothing delivered from the bad one.
        EXPECT_EQ(items.back().kind, Kind::Frame);
        EXPECT_EQ(items.back().bytes, Bytes{0xC0});
        for (std::size_t i = 0; i + 1 < items.size(); ++i) {
            EXPECT_NE(items[i].kind, Kind::Frame);
        }
    }
}

TEST(FrameDecoder, AFrameWithoutTrailerDoesNotSwallowTheNextOne) {
    const Bytes cut(kPollFrame.begin(), kPollFrame.end() - 2);
    const auto items = Decode(Join({cut, kPollFrame}));
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].kind, Kind::Violation);
    EXPECT_NE(items[0].problem.find("trailer"), std::string::npos);
    EXPECT_EQ(items[1].kind, Kind::Frame);
}

TEST(FrameDecoder, ReportsStrayBytesAsOneRunAndFindsTheCommandInside) {
    auto items = Decode(Join({test::Bytes("xyz"), kPollFrame}));
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].kind, Kind::Violation);
    EXPECT_EQ(items[0].wireLength, 3U);
    EXPECT_EQ(items[1].kind, Kind::Frame);

    // "<<" could begin two commands; the W shows the first '<' was stray.
    items = Decode(test::Bytes("<<W"));
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].kind, Kind::Violation);
    EXPECT_EQ(items[0].wireLength, 1U);
    EXPECT_EQ(items[1].kind, Kind::Command);
    EXPECT_EQ(items[1].command, BaseCommand::Release);
}

TEST(FrameDecoder, ReportsALineClosedInMidFrame) {
    const auto items = Decode(Bytes(kPollFrame.begin(), kPollFrame.begin() + 12));
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].kind, Kind::Violation);
    EXPECT_EQ(items[0].problem, "line closed in mid-frame after 12 bytes");
}

TEST(FrameDecoder, KeepsTheSpeedOfTheFirstByte) {
    FrameDecoder decoder;
    std::vector<WireItem> items;
    decoder.Feed(test::Bytes("<<$:"), 9600, items);
    decoder.Feed(test::Bytes("U9"), 19200, items);
    ASSERT_EQ(items.size(), 1U);
    EXPECT_EQ(items[0].speed, 9600U);
}

// A stream of everything the updater sends in one session, fed in random splits,
// must decode exactly as when fed in one piece.
TEST(FrameDecoder, AnySplitOfTheStreamGivesTheSameItems) {
    const Bytes stream =
        Join({test::Bytes("<<$:U9<<$:U9<\r<<RS<#C14"), kPollFrame, kPollFrame,
              SentByPortObject(test::Bytes("KT76-MM-VMM-232-1.0")), SentByPortObject({0, 0, 1, 0}),
              SentByPortObject(test::TestImage(1)), SentByPortObject({0x42}), test::Bytes("<W")});
    const auto whole = Decode(stream);
    ASSERT_EQ(whole.size(), 13U);
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        FrameDecoder decoder;
        std::vector<WireItem> items;
        std::size_t at = 0;
        while (at < stream.size()) {
            const std::size_t take = std::min<std::size_t>(stream.size() - at, 1 + random() % 40);
            decoder.Feed(std::span(stream).subspan(at, take), 38400, items);
            at += take;
        }
        decoder.Finish("line closed", items);
        ASSERT_EQ(items.size(), whole.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].kind, whole[i].kind);
            EXPECT_EQ(items[i].bytes, whole[i].bytes);
        }
    }
}

// Random input never breaks the decoder, and every byte is accounted for once.
TEST(FrameDecoder, RandomInputIsAlwaysAccountedFor) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        Bytes input(20000);
        // Bytes from a small alphabet near the frame's own make partial matches common.
        const Bytes alphabet = Join({test::Bytes("<$:P0123456789UW#CRS\r"),
                                     {0x41, 0x8C, 0x11, 0xEE, 0xFF, 0x00, 0x22, 0x46, 0x01, 0x56}});
        for (std::uint8_t& byte : input) {
            byte = seed % 2 == 0 ? static_cast<std::uint8_t>(random())
                                 : alphabet[random() % alphabet.size()];
        }
        FrameDecoder decoder;
        std::vector<WireItem> items;
        std::size_t at = 0;
        while (at < input.size()) {
            const std::size_t take = std::min<std::size_t>(input.size() - at, 1 + random() % 200);
            decoder.Feed(std::span(input).subspan(at, take), 38400, items);
            at += take;
        }
        decoder.Finish("line closed", items);
        std::size_t accounted = 0;
        for (const WireItem& item : items) {
            accounted += item.wireLength;
            if (item.kind == Kind::Frame) {
                EXPECT_GE(item.bytes.size(), 1U);
                EXPECT_LE(item.bytes.size(), 86U);
            }
            if (item.kind == Kind::Violation) {
                EXPECT_LE(item.bytes.size(), std::max<std::size_t>(item.wireLength, 1));
            }
        }
        EXPECT_EQ(accounted, input.size());
        EXPECT_TRUE(decoder.Idle());
    }
}

// Frames between runs of noise (without '<') all come through.
TEST(FrameDecoder, FindsEveryFrameBetweenNoise) {
    std::mt19937 random(3);
    Bytes stream;
    for (int i = 0; i < 200; ++i) {
        for (unsigned n = random() % 30; n > 0; --n) {
            std::uint8_t noise = static_cast<std::uint8_t>(random());
            stream.push_back(noise == '<' ? 0x3D : noise);
        }
        stream.insert(stream.end(), kPollFrame.begin(), kPollFrame.end());
    }
    std::size_t frames = 0;
    for (const WireItem& item : Decode(stream)) {
        frames += item.kind == Kind::Frame ? 1 : 0;
    }
    EXPECT_EQ(frames, 200U);
}

}  // namespace
}  // namespace vorenta::sim
