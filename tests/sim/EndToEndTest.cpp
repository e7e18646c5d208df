// The simulator program on a pty against the updater's own serial code: port
// object, termios device, port table and base preparation, with the transfer
// played by the test driver.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "TransferDriver.h"
#include "platform/NativeTickSource.h"
#include "platform/posix/PosixPtyPair.h"
#include "platform/posix/PosixSerialDevice.h"
#include "serial/CRS232.h"
#include "serial/StaticPortTable.h"
#include "tests/support/TempFolder.h"
#include "tools/vorenta-sim/SimLauncher.h"
#include "update/BasePreparation.h"

namespace vorenta::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using sim::SimProcess;

constexpr int kCom = 5;
constexpr int kStartMs = 5000;
constexpr int kEndMs = 5000;

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The simulator started with `args` and the updater's port opened on its pty.
struct PtyRig {
    explicit PtyRig(std::vector<std::string> args) {
        std::string error;
        // Every run has a time limit, so a broken test cannot leave it behind.
        args.insert(args.begin(), {"--timeout", "20"});
        process = SimProcess::Start(VORENTA_SIM_PROGRAM, args, error);
        if (!process) {
            ADD_FAILURE() << error;
            return;
        }
        const auto path = process->FirstLine(kStartMs);
        if (!path) {
            ADD_FAILURE() << "no device path; stderr: " << process->Errors();
            return;
        }
        devicePath = *path;
        ports.Add(kCom, devicePath);
        opened = port.Open(kCom, 38400, 'N', 8, 1) == 1;
        EXPECT_TRUE(opened) << device.LastError();
    }

    // Closes the updater's side and returns the simulator's exit status.
    std::optional<int> End() {
        port.Close();
        return process ? process->Wait(kEndMs) : std::nullopt;
    }

    std::unique_ptr<SimProcess> process;
    std::string devicePath;
    NativeTickSource clock;
    PosixSerialDevice device;
    StaticPortTable ports;
    CRS232 port{device, ports, clock};
    TransferDriver driver{port, clock};
    bool opened = false;
};

std::uint32_t ElapsedMs(std::chrono::steady_clock::time_point since) {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - since)
                                          .count());
}

TEST(SimEndToEnd, AWholeUpdateOverAPty) {
    const TempFolder tmp;
    const auto image = tmp / "image.bin";
    const auto log = tmp / "wire.jsonl";
    PtyRig rig({"--image", image.string(), "--log", log.string()});
    ASSERT_TRUE(rig.opened);

    PrepareBaseStation(rig.port, rig.clock);
    EXPECT_EQ(rig.driver.PollForAnswer(6, 500), 3);
    rig.driver.SendIdentification();
    EXPECT_EQ(rig.driver.Collect(13, 3000), test::Bytes("VR-VMM-KT76\r!"));
    const Bytes pages = TestImage(4);
    for (std::uint32_t page = 0; page < 4; ++page) {
        rig.driver.SendPage(page, std::span(pages).subspan(std::size_t{page} * 256, 256));
        EXPECT_EQ(rig.driver.ReplyWithin(3000), '!') << "page " << page;
    }
    rig.driver.SendEndMarker();
    DelayMs(rig.clock, 20);
    ReleaseBase(rig.port, rig.clock);

    EXPECT_EQ(rig.End(), 0) << rig.process->Output() << rig.process->Errors();
    EXPECT_EQ(ReadFile(image), pages);
    EXPECT_NE(rig.process->Output().find("complete update"), std::string::npos);
    EXPECT_NE(rig.process->Output().find("pages received: 4 accepted"), std::string::npos);

    // The speeds in the log are the ones the updater set on its side of the pty.
    std::ifstream in(log);
    const std::regex command(R"re("speed":(\d+),"kind":"command","what":"([^"]*)")re");
    std::vector<std::string> seen;
    for (std::string line; std::getline(in, line);) {
        std::smatch match;
        if (std::regex_search(line, match, command)) {
            seen.push_back(match[2].str() + " at " + match[1].str());
        }
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"<<$:U9 at 9600", "<<$:U9 at 19200", "<\\\\r at 38400",
                                        "<<RS<#C14 at 38400", "<W at 38400"}));
}

TEST(SimEndToEnd, ALineClosedAfterAPageIsAVanishedDeviceForTheUpdater) {
    PtyRig rig({"--skip-preparation", "--answer-poll", "1", "--close-after-page", "0"});
    ASSERT_TRUE(rig.opened);
    ASSERT_EQ(rig.driver.PollForAnswer(3, 300), 1);
    rig.driver.SendIdentification();
    EXPECT_EQ(rig.driver.Collect(13, 2000).size(), 13U);
    const Bytes pages = TestImage(2);
    rig.driver.SendPage(0, std::span(pages).first(256));
    EXPECT_EQ(rig.driver.ReplyWithin(2000), '!');
    EXPECT_EQ(rig.process->Wait(kEndMs), 1);
    rig.driver.SendPage(1, std::span(pages).subspan(256));
    EXPECT_EQ(rig.driver.ReplyWithin(300), std::nullopt);
    EXPECT_NE(rig.process->Output().find("the simulator closed the line (fault)"),
              std::string::npos);
    EXPECT_NE(rig.process->Output().find("faults injected: 1"), std::string::npos);
    EXPECT_NE(rig.process->Output().find("pages received: 1 accepted"), std::string::npos);
}

TEST(SimEndToEnd, ALineClosingAfterAPageTakesNothingMore) {
    const TempFolder tmp;
    const auto log = tmp / "wire.jsonl";
    PtyRig rig({"--skip-preparation", "--answer-poll", "1", "--close-after-page", "1", "--log",
                log.string()});
    ASSERT_TRUE(rig.opened);
    ASSERT_EQ(rig.driver.PollForAnswer(3, 300), 1);
    rig.driver.SendIdentification();
    EXPECT_EQ(rig.driver.Collect(13, 2000).size(), 13U);
    const Bytes pages = TestImage(3);
    for (std::uint32_t page = 0; page < 2; ++page) {
        rig.driver.SendPage(page, std::span(pages).subspan(std::size_t{page} * 256, 256));
        EXPECT_EQ(rig.driver.ReplyWithin(2000), '!') << "page " << page;
    }
    // The next page follows at once, as the updater sends it: the module is gone.
    rig.driver.SendPage(2, std::span(pages).subspan(512, 256));
    EXPECT_EQ(rig.process->Wait(kEndMs), 1);
    EXPECT_EQ(rig.driver.ReplyWithin(300), std::nullopt);
    const std::string output = rig.process->Output();
    EXPECT_NE(output.find("pages received: 2 accepted, 2 sends"), std::string::npos) << output;
    std::ifstream in(log);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("not taken: the line is closing"), std::string::npos);
    EXPECT_EQ(text.find("page 2"), std::string::npos);
}

TEST(SimEndToEnd, SlowRepliesAndLinePacingDelayTheReply) {
    PtyRig slow({"--skip-preparation", "--answer-poll", "1", "--reply-delay", "300"});
    ASSERT_TRUE(slow.opened);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(slow.driver.PollForAnswer(1, 2000), 1);
    EXPECT_GE(ElapsedMs(start), 300U);

    PtyRig paced({"--skip-preparation", "--answer-poll", "1", "--pace"});
    ASSERT_TRUE(paced.opened);
    ASSERT_EQ(paced.driver.PollForAnswer(1, 2000), 1);
    paced.driver.SendIdentification();
    EXPECT_EQ(paced.driver.Collect(13, 2000).size(), 13U);
    start = std::chrono::steady_clock::now();
    paced.driver.SendPage(0, TestImage(1));
    EXPECT_EQ(paced.driver.ReplyWithin(2000), '!');
    // 371 bytes at 38400 bit/s take about 97 ms on a real line.
    EXPECT_GE(ElapsedMs(start), 95U);
}

TEST(SimEndToEnd, GarbageAndAFrameCutShortAreReportedNotFatal) {
    PtyRig rig({"--skip-preparation"});
    ASSERT_TRUE(rig.opened);
    const Bytes garbage = {'h', 'e', 'l', 'l', 'o', 0x00, 0xFF, '<', '$', ':', 'P', 'x'};
    rig.port.WriteBytes(garbage.data(), static_cast<int>(garbage.size()));
    const Bytes half = {'<', '$', ':', 'P', '0', '1', '6', 0x41, 0x8C};
    DelayMs(rig.clock, 100);
    rig.port.WriteBytes(half.data(), static_cast<int>(half.size()));
    DelayMs(rig.clock, 100);
    EXPECT_EQ(rig.End(), 1);
    EXPECT_NE(rig.process->Errors().find("stray bytes"), std::string::npos)
        << rig.process->Errors();
    EXPECT_NE(rig.process->Errors().find("line closed in mid-frame after 9 bytes"),
              std::string::npos)
        << rig.process->Errors();
    EXPECT_NE(rig.process->Output().find("protocol violations: 3"), std::string::npos)
        << rig.process->Output();
}

TEST(SimEndToEnd, StopsOnInterruptOrTimeLimitWithASummary) {
    std::string error;
    auto stopped = SimProcess::Start(VORENTA_SIM_PROGRAM, {}, error);
    ASSERT_TRUE(stopped) << error;
    ASSERT_TRUE(stopped->FirstLine(kStartMs));
    stopped->Interrupt();
    EXPECT_EQ(stopped->Wait(kEndMs), 1);
    EXPECT_NE(stopped->Output().find("ended: stopped by a signal"), std::string::npos);

    const auto start = std::chrono::steady_clock::now();
    auto timed = SimProcess::Start(VORENTA_SIM_PROGRAM, {"--timeout", "0.3"}, error);
    ASSERT_TRUE(timed) << error;
    EXPECT_EQ(timed->Wait(kEndMs), 1);
    EXPECT_LT(ElapsedMs(start), 3000U);
    EXPECT_NE(timed->Output().find("ended: time limit reached"), std::string::npos);
    EXPECT_NE(timed->Output().find("no end marker"), std::string::npos);
}

TEST(SimEndToEnd, ServesAGivenDeviceAndRefusesBadOptions) {
    PosixPtyPair pair;
    ASSERT_TRUE(pair.Ok()) << pair.Error();
    std::string error;
    auto served = SimProcess::Start(VORENTA_SIM_PROGRAM,
                                    {"--device", pair.SlavePath(), "--skip-preparation",
                                     "--answer-poll", "1", "--timeout", "10"},
                                    error);
    ASSERT_TRUE(served) << error;
    EXPECT_EQ(served->FirstLine(kStartMs), pair.SlavePath());
    ASSERT_TRUE(
        pair.WriteMaster({0x3C, 0x24, 0x3A, 0x50, 0x30, 0x31, 0x36, 0x41, 0x8C, 0x11, 0xEE, 0xEE,
                          0xFF, 0xFF, 0x00, 0x00, 0x22, 0x00, 0x46, 0x01, 0xC0, 0x00, 0x00}));
    EXPECT_EQ(pair.ReadMaster(1, 2000), Bytes{0xD0});
    served->Interrupt();
    EXPECT_EQ(served->Wait(kEndMs), 1);

    auto bad = SimProcess::Start(VORENTA_SIM_PROGRAM, {"--noise", "many"}, error);
    ASSERT_TRUE(bad) << error;
    EXPECT_EQ(bad->Wait(kEndMs), 2);
    EXPECT_NE(bad->Errors().find("--noise"), std::string::npos);
    EXPECT_TRUE(bad->Output().empty());

    auto missing = SimProcess::Start(VORENTA_SIM_PROGRAM, {"--device", "/dev/no-such-tty"}, error);
    ASSERT_TRUE(missing) << error;
    EXPECT_EQ(missing->Wait(kEndMs), 3);
    EXPECT_NE(missing->Errors().find("/dev/no-such-tty"), std::string::npos);
}

}  // namespace
}  // namespace vorenta::test
