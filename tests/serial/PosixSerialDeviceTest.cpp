#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/NativeTickSource.h"
#include "platform/posix/PosixPtyPair.h"
#include "platform/posix/PosixSerialDevice.h"
#include "serial/CRS232.h"
#include "serial/StaticPortTable.h"
#include "tests/support/TempFolder.h"
#include "update/BasePreparation.h"

namespace vorenta::test {
namespace {

constexpr int kCom = 5;
constexpr int kReplyTimeoutMs = 2000;

using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

long ElapsedMs(Clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// A port object whose COM number leads to the slave side of a fresh pty.
class PtyLine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok()) << pty.Error();
        ASSERT_TRUE(ports.Add(kCom, pty.SlavePath()));
    }

    PosixPtyPair pty;
    StaticPortTable ports;
    NativeTickSource clock;
    PosixSerialDevice device;
    CRS232 port{device, ports, clock};
};

TEST_F(PtyLine, BytesAndLineSettingsReachTheOtherSide) {
    ASSERT_EQ(port.Open(kCom, 38400, 'N', 8, 1), 1) << device.LastError();
    PosixPtyPair::LineView line;
    ASSERT_TRUE(pty.ReadLine(line));
    EXPECT_EQ(line.bitsPerSecond, 38400U);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_EQ(line.parity, 'N');
    EXPECT_EQ(line.stopBits, 1);
    EXPECT_TRUE(line.raw);

    // Raw 8-bit: CR, NUL and bytes above 0x7F pass unchanged.
    const std::uint8_t poll = 0xC0;
    port.SendPacket(&poll, 1);
    EXPECT_EQ(port.WriteString("<\r"), 1);
    const auto got = pty.ReadMaster(25, kReplyTimeoutMs);
    ASSERT_EQ(got.size(), 25U);
    EXPECT_EQ(std::string(got.begin(), got.begin() + 7), "<$:P016");
    EXPECT_EQ(got[20], 0xC0);
    EXPECT_EQ(got[21], 0x00);
    EXPECT_EQ(got[23], '<');
    EXPECT_EQ(got[24], '\r');

    // And the way back: what the peer sends is there without waiting.
    ASSERT_TRUE(pty.WriteMaster({0xD0, 0x0D, 0x0A}));
    std::vector<std::uint8_t> buffer(8);
    unsigned total = 0;
    const auto start = Clock::now();
    while (total < 3 && ElapsedMs(start) < kReplyTimeoutMs) {
        total += port.Read(buffer.data() + total, 8 - total);
    }
    ASSERT_EQ(total, 3U);
    EXPECT_EQ(buffer[0], 0xD0);
    EXPECT_EQ(buffer[1], 0x0D);
    EXPECT_EQ(buffer[2], 0x0A);

    // A pty always reports 8 data bits and no parity, so only speed and stop bits show here.
    struct Case {
        int speed;
        int stop;
        std::uint32_t seen;
        int seenStop;
    };
    for (const Case& c : {Case{9600, 2, 9600, 2}, Case{115200, 1, 115200, 1}, Case{300, 0, 300, 1},
                          Case{12345, 2, 9600, 2}}) {
        SCOPED_TRACE(c.speed);
        ASSERT_EQ(port.Open(kCom, c.speed, 'E', 7, c.stop), 1) << device.LastError();
        ASSERT_TRUE(pty.ReadLine(line));
        EXPECT_EQ(line.bitsPerSecond, c.seen);
        EXPECT_EQ(line.stopBits, c.seenStop);
    }
    // SetLineSettings has its own speed list: 300 is not in it.
    port.SetLineSettings(300, 'N', '8');
    ASSERT_TRUE(pty.ReadLine(line));
    EXPECT_EQ(line.bitsPerSecond, 9600U);

    // A speed with no termios constant leaves the line as it was but is still recorded.
    ASSERT_EQ(port.Open(kCom, 19200, 'N', 8, 1), 1);
    ASSERT_EQ(port.Open(kCom, 14400, 'N', 8, 1), 1);
    EXPECT_EQ(port.dcb.BaudRate, 14400U);
    ASSERT_TRUE(pty.ReadLine(line));
    EXPECT_EQ(line.bitsPerSecond, 19200U);
}

TEST_F(PtyLine, PreparationArrivesInOrderAndLeavesTheSessionSpeed) {
    ASSERT_EQ(port.Open(kCom, kSessionBaudRate, kSessionParity, kSessionDataBits, kSessionStopBits),
              1)
        << device.LastError();
    const auto start = Clock::now();
    PrepareBaseStation(port, clock);
    // Nine waits on a millisecond counter may each end up to 1 ms short of real time.
    EXPECT_GE(ElapsedMs(start), 1840 - 9);

    const auto got = pty.ReadMaster(23, kReplyTimeoutMs);
    EXPECT_EQ(got, Bytes("<<$:U9<<$:U9<\r<<RS<#C14"));
    PosixPtyPair::LineView line;
    ASSERT_TRUE(pty.ReadLine(line));
    EXPECT_EQ(line.bitsPerSecond, 38400U);
}

TEST_F(PtyLine, SecondOpenFailsWhileTheLineIsHeld) {
    ASSERT_EQ(port.Open(kCom, 38400, 'N', 8, 1), 1) << device.LastError();
    PosixSerialDevice other;
    EXPECT_FALSE(other.Open(pty.SlavePath()));
    EXPECT_FALSE(other.IsOpen());
    EXPECT_FALSE(other.LastError().empty());

    port.Close();
    EXPECT_TRUE(other.Open(pty.SlavePath())) << other.LastError();
}

TEST_F(PtyLine, HungUpLineFailsWritesAndReadsWithoutHanging) {
    ASSERT_EQ(port.Open(kCom, 38400, 'N', 8, 1), 1) << device.LastError();
    pty.CloseMaster();

    const auto start = Clock::now();
    EXPECT_EQ(port.WriteString("<W"), 0);
    EXPECT_EQ(device.Write(reinterpret_cast<const std::uint8_t*>("<W"), 2), -1);
    EXPECT_EQ(device.BytesWaiting(), -1);
    std::vector<std::uint8_t> buffer(8);
    EXPECT_EQ(port.Read(buffer.data(), 8), 0U);
    port.PurgeAndWait(1);
    port.Close();
    EXPECT_EQ(port.GetPortNumber(), -1);
    EXPECT_LT(ElapsedMs(start), 1000);
}

TEST_F(PtyLine, WaitForInputWakesForBytesAndGivesUpOnAHungUpLine) {
    ASSERT_TRUE(device.Open(pty.SlavePath())) << device.LastError();
    EXPECT_TRUE(device.WaitForInput(10));  // nothing came: the time passed
    EXPECT_EQ(device.BytesWaiting(), 0);

    ASSERT_TRUE(pty.WriteMaster(Bytes("!")));
    const auto start = Clock::now();
    EXPECT_TRUE(device.WaitForInput(5000));
    EXPECT_LT(ElapsedMs(start), 4000);
    EXPECT_EQ(device.BytesWaiting(), 1);

    std::uint8_t byte = 0;
    ASSERT_EQ(device.Read(&byte, 1), 1);
    pty.CloseMaster();
    // A hung-up line would wake a poll at once, for ever: the caller must sleep instead.
    EXPECT_FALSE(device.WaitForInput(5000));
    EXPECT_LT(ElapsedMs(start), 4000);
    device.Close();
    EXPECT_FALSE(device.WaitForInput(1));
}

TEST_F(PtyLine, StuckPeerCannotHoldAWriteForEver) {
    ASSERT_TRUE(device.Open(pty.SlavePath())) << device.LastError();
    device.SetWriteStallLimit(200);
    // Nobody reads the master: the pty's buffers fill and then take nothing more.
    const std::vector<std::uint8_t> block(1 << 20, 0x55);
    const auto start = Clock::now();
    EXPECT_EQ(device.Write(block.data(), block.size()), -1);
    EXPECT_LT(ElapsedMs(start), 3000);
    EXPECT_NE(device.LastError().find("stalled"), std::string::npos);
    device.Close();
}

// A driver's low-latency mode as a pty cannot have it: a flag to read and set,
// every request recorded.
class FakeLowLatency : public ILowLatencyMode {
  public:
    std::optional<bool> Get(int) override {
        calls.push_back("get");
        return mode;
    }
    bool Set(int, bool on) override {
        calls.push_back(on ? "on" : "off");
        if (refuse || !mode) {
            return false;
        }
        mode = on;
        return true;
    }

    std::optional<bool> mode;
    bool refuse = false;
    std::vector<std::string> calls;
};

TEST_F(PtyLine, LowLatencyIsAskedForAndGivenBackAsItWas) {
    struct Case {
        const char* name;
        std::optional<bool> before;
        bool refuse;
        std::vector<std::string> calls;
    };
    for (const Case& c : {
             // Switched on for the session, off again for whoever uses the port next.
             Case{"off", false, false, {"get", "on", "off"}},
             // Someone wanted it on: it stays on, untouched.
             Case{"on", true, false, {"get"}},
             Case{"no such mode", std::nullopt, false, {"get"}},
             // Never switched on: nothing to give back.
             Case{"refused", false, true, {"get", "on"}},
         }) {
        SCOPED_TRACE(c.name);
        FakeLowLatency mode;
        mode.mode = c.before;
        mode.refuse = c.refuse;
        {
            PosixSerialDevice line(mode);
            ASSERT_TRUE(line.Open(pty.SlavePath())) << line.LastError();
            line.Close();
            line.Close();  // a second close gives nothing back twice
            ASSERT_TRUE(line.Open(pty.SlavePath())) << line.LastError();
        }  // closed by its destructor
        std::vector<std::string> twice = c.calls;
        twice.insert(twice.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(mode.calls, twice);
        EXPECT_EQ(mode.mode, c.before);
    }
}

TEST(PosixSerialDeviceOpen, RefusesWhatIsNotASerialLine) {
    const TempFolder folder;
    const auto file = folder / "not-a-tty";
    std::ofstream(file) << "plain file";

    for (const std::string& path : {file.string(), std::string("/dev/null"),
                                    std::string("/dev/vorenta-no-such-device"), std::string("/")}) {
        SCOPED_TRACE(path);
        PosixSerialDevice device;
        EXPECT_FALSE(device.Open(path));
        EXPECT_FALSE(device.IsOpen());
        EXPECT_FALSE(device.LastError().empty());
        EXPECT_EQ(device.Write(reinterpret_cast<const std::uint8_t*>("x"), 1), -1);
        device.Close();
    }
    std::filesystem::remove(file);

    // Through the port object: nothing left open, the attempted number kept.
    PosixSerialDevice device;
    NativeTickSource clock;
    StaticPortTable ports({{kCom, "/dev/null"}});
    CRS232 port{device, ports, clock};
    EXPECT_EQ(port.Open(kCom, 38400, 'N', 8, 1), 0);
    EXPECT_EQ(port.GetPortNumber(), -1);
    EXPECT_EQ(port.portNumber, kCom);
    EXPECT_FALSE(device.IsOpen());
}

}  // namespace
}  // namespace vorenta::test
