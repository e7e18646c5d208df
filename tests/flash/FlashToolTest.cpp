#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include "ConsoleWindowHost.h"

#include "ExtraPortTable.h"
#include "FlashOptions.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/MemorySerialDevice.h"
#include "serial/StaticPortTable.h"
#include "serial/WireLogDevice.h"
#ifndef _WIN32
#include "platform/linux/LinuxPortTable.h"
#include "tests/platform/linux/FakeSystemTree.h"
#endif

namespace vorenta::test {
namespace {

TEST(FlashOptions, AcceptsEveryOptionInBothForms) {
    const auto parsed = ParseFlashOptions(
        {"--port", "com12", "--dir=/opt/fw", "--wait", "30", "--log=wire.txt", "--quiet"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.ports, std::vector<std::string>{"com12"});
    EXPECT_EQ(parsed.options.dir, "/opt/fw");
    EXPECT_EQ(parsed.options.waitSeconds, 30U);
    EXPECT_EQ(parsed.options.logFile, "wire.txt");
    EXPECT_TRUE(parsed.options.quiet);
    EXPECT_EQ(ParseFlashOptions({"--port", "/dev/ttyUSB0"}).options.ports,
              std::vector<std::string>{"/dev/ttyUSB0"});
}

TEST(FlashOptions, RejectsBadValuesWithAReason) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--port", "COM0"},
                                                                  {"--port", "COM101"},
                                                                  {"--port", "ttyUSB0"},
                                                                  {"--port"},
                                                                  {"--wait", "0"},
                                                                  {"--wait", "-5"},
                                                                  {"--wait", "10s"},
                                                                  {"--wait", "86401"},
                                                                  {"--wait", "4294968"},
                                                                  {"--wait", "4294967296"},
                                                                  {"--dir="},
                                                                  {"--frobnicate"},
                                                                  {"extra"}}) {
        EXPECT_NE(ParseFlashOptions(args).error, "") << args.front();
    }
}

TEST(FlashOptions, WaitIsBoundedToADay) {
    EXPECT_EQ(ParseFlashOptions({"--wait", "86400"}).options.waitSeconds, 86400U);
    EXPECT_NE(ParseFlashOptions({"--wait", "4294968"}).error.find("1 to 86400"), std::string::npos);
}

TEST(FlashOptions, ComNumbersAreCom1ToCom100InAnyCase) {
    EXPECT_EQ(ComNumberOf("COM1"), 1);
    EXPECT_EQ(ComNumberOf("cOm100"), 100);
    EXPECT_FALSE(ComNumberOf("COM101"));
    EXPECT_FALSE(ComNumberOf("COM"));
    EXPECT_FALSE(ComNumberOf("COM1x"));
    EXPECT_FALSE(ComNumberOf("LPT1"));
}

TEST(ConsoleProgress, DrawsABar) {
    EXPECT_EQ(ProgressBar(64, 256, 95.0),
              "[#######-----------------------] 64/256 pages 25%  about 1:35 left");
    EXPECT_EQ(ProgressBar(256, 256, std::nullopt),
              "[##############################] 256/256 pages 100%");
}

TEST(ConsoleWindowHost, PrintsWhatFilesSayWithoutTheirControlCharacters) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        StreamConsole console(out, false);
        ConsoleWindowHost host(console, false);
        host.SetDlgItemText(1009, "Firmware version  =  \x1b[31mred");
        host.MessageBox("text\x1b[2J\n", "cap\rtion", MessageIcon::None);
        host.Log("/dev/tty\x1bX");
    }
    std::rewind(out);
    std::string printed;
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) {
        printed += static_cast<char>(c);
    }
    std::fclose(out);
    EXPECT_EQ(printed, "Firmware version  =  ?[31mred\ncap?tion:\ntext?[2J\n/dev/tty?X\n");
}

class CountingFile : public IFile {
  public:
    long Read(std::uint8_t*, std::size_t) override { return -1; }
    long Write(const std::uint8_t* data, std::size_t count) override {
        if (text.size() + count > room) {
            return -1;
        }
        text.append(reinterpret_cast<const char*>(data), count);
        return static_cast<long>(count);
    }
    bool Seek(std::uint64_t) override { return false; }
    std::optional<std::uint64_t> Length() override { return text.size(); }
    std::optional<LocalTime> ModificationTime() override { return std::nullopt; }
    bool Flush() override { return true; }
    std::optional<FileIdentity> Identity() override { return std::nullopt; }

    std::size_t room = SIZE_MAX;
    std::string text;
};

TEST(WireLogDevice, KnowsWhenALineDidNotReachTheLog) {
    FakeClock clock{1000, 0};
    MemorySerialDevice device{clock};
    CountingFile log;
    WireLogDevice wire(device, clock, log);
    ASSERT_TRUE(wire.Open("/dev/ttyFAKE1"));
    const std::vector<std::uint8_t> bytes{0x3C, 0x57};
    EXPECT_EQ(wire.Write(bytes.data(), bytes.size()), 2);
    EXPECT_TRUE(wire.Complete());
    EXPECT_NE(log.text.find("TX    3C 57\n"), std::string::npos);

    log.room = log.text.size();                            // the disk is full from here on
    EXPECT_EQ(wire.Write(bytes.data(), bytes.size()), 2);  // the line itself goes on
    EXPECT_FALSE(wire.Complete());
    log.room = SIZE_MAX;
    wire.Close();
    EXPECT_FALSE(wire.Complete());
}

TEST(WireLogDevice, LeavesTheWaitForInputToTheDevice) {
    FakeClock clock{1000, 0};
    MemorySerialDevice device{clock};
    CountingFile log;
    WireLogDevice wire(device, clock, log);
    ASSERT_TRUE(wire.Open("/dev/ttyFAKE1"));
    const std::size_t logged = log.text.size();
    // The device sleeps in its driver until a byte comes; nothing is traced.
    EXPECT_TRUE(wire.WaitForInput(50));
    EXPECT_EQ(device.inputWaits, 1);
    EXPECT_EQ(log.text.size(), logged);
    device.Vanish();
    EXPECT_FALSE(wire.WaitForInput(50));
}

TEST(WireLogDevice, ShowsEveryModemLineStepAndWhetherTheDeviceTookIt) {
    FakeClock clock{1000, 0};
    MemorySerialDevice device{clock};
    CountingFile log;
    WireLogDevice wire(device, clock, log);
    ASSERT_TRUE(wire.Open("/dev/ttyFAKE1"));
    EXPECT_TRUE(wire.SetDtr(true));
    EXPECT_TRUE(wire.SetRts(false));
    EXPECT_TRUE(device.dtr);
    device.Vanish();  // an adapter pulled refuses them
    EXPECT_FALSE(wire.SetDtr(false));
    EXPECT_EQ(log.text.substr(log.text.find("MODEM")),
              "MODEM DTR on\n"
              "         0 ms MODEM RTS off\n"
              "         0 ms MODEM DTR off (refused)\n");
}

TEST(ExtraPortTable, NamedDeviceKeepsItsNumberOrTakesTheLowestFree) {
    StaticPortTable installed({{1, "/dev/ttyS0"}, {2, "/dev/ttyS1"}, {33, "/dev/ttyUSB0"}});
    ExtraPortTable known(installed, "/dev/ttyUSB0");
    EXPECT_EQ(known.ComNumber(), 33);

    ExtraPortTable added(installed, "/dev/pts/4");
    EXPECT_EQ(added.ComNumber(), 3);
    EXPECT_EQ(added.DevicePathFor(3), "/dev/pts/4");
    EXPECT_EQ(added.DevicePathFor(1), "/dev/ttyS0");
    std::vector<InstalledPort> ports;
    ASSERT_TRUE(added.ListPorts(ports));
    ASSERT_EQ(ports.size(), 4U);
    EXPECT_EQ(ports.back().name, "COM3");
}

#ifndef _WIN32  // the default rule of POSIX port tables
TEST(ExtraPortTable, ANamedDeviceThatIsGoneIsNoLongerListed) {
    testing::FakeSystemTree tree;
    std::filesystem::create_directories(tree.roots.devFolder / "pts");
    WriteFile(tree.roots.devFolder / "pts/4", "");
    std::ostringstream warnings;
    LinuxPortTable installed(tree.roots, &warnings);
    // One the default rule lists too (the adapter an operator names by its path), and one it does
    // not.
    for (const auto& [device, com] :
         {std::pair{tree.Dev("ttyUSB0"), 33}, std::pair{tree.Dev("pts/4"), 1}}) {
        SCOPED_TRACE(device);
        ExtraPortTable named(installed, device);
        ASSERT_EQ(named.ComNumber(), com);
        auto listed = [&named, &device] {
            std::vector<InstalledPort> ports;
            EXPECT_TRUE(named.ListPorts(ports));
            return std::count_if(ports.begin(), ports.end(),
                                 [&device](const auto& p) { return p.devicePath == device; });
        };
        EXPECT_EQ(listed(), 1);
        EXPECT_TRUE(named.DevicePresent(device));

        std::filesystem::remove(device);  // the adapter pulled
        EXPECT_EQ(listed(), 0);
        EXPECT_FALSE(named.DevicePresent(device));
    }
    // A path that was never there is offered, so that opening it says why it fails.
    ExtraPortTable never(installed, tree.Dev("ttyUSB7"));
    std::vector<InstalledPort> ports;
    ASSERT_TRUE(never.ListPorts(ports));
    EXPECT_EQ(ports.back().devicePath, tree.Dev("ttyUSB7"));
}
#endif

}  // namespace
}  // namespace vorenta::test
