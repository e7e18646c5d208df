#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "firmware/FirmwareDate.h"
#include "tests/firmware/FirmwareFixture.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {
namespace {

namespace fs = std::filesystem;
using FirmwareDescriptionTest = FirmwareFilesTest;

constexpr char kFileCaption[] = "Vorenta KT7.6 VMM & DO-232 R2 Mobile Module Update";
constexpr char kEmptyNameMessage[] = "Unable to open the firmware hex file:     \n          ";

TEST(FirmwareDate, TwelveHourClockWithMidnightAsZero) {
    EXPECT_EQ(FormatFirmwareDate({2011, 3, 7, 14, 5, 9}), "     (3-7-2011,  2:05:09 PM)");
    EXPECT_EQ(FormatFirmwareDate({2011, 3, 7, 12, 30, 0}), "     (3-7-2011, 12:30:00 PM)");
    EXPECT_EQ(FormatFirmwareDate({2011, 3, 7, 0, 30, 0}), "     (3-7-2011,  0:30:00 AM)");
    EXPECT_EQ(FormatFirmwareDate({2024, 12, 31, 9, 0, 5}), "     (12-31-2024,  9:00:05 AM)");
    EXPECT_EQ(FormatFirmwareDate({2024, 1, 1, 23, 59, 59}), "     (1-1-2024, 11:59:59 PM)");
}

TEST_F(FirmwareDescriptionTest, LinesEndAtLfOrCrLfAndNothingIsTrimmed) {
    const std::string longVersion(10000, 'v');  // longer than one read
    struct Case {
        std::string text;
        std::string version;
    };
    const Case cases[] = {
        {"V2.60\r\nfw.bin\r\n", "V2.60"},
        {"V2.60\nfw.bin\n", "V2.60"},
        {"V2.60\nfw.bin", "V2.60"},
        {"  V 2.60 \nfw.bin\nthird line\r\nfourth", "  V 2.60 "},
        {"\nfw.bin\n", ""},
        {longVersion + "\r\nfw.bin\r\n", longVersion},
    };
    WriteText(dlg.firmware.programDir + "fw.bin", "firmware");
    files.faults[dlg.firmware.programDir + "fw.bin"].modified = LocalTime{2011, 3, 7, 14, 5, 9};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        WriteText(dlg.firmware.programDir + "Vorenta_KT76_MM_VMM_V2.txt", c.text);
        dlg.firmware.LoadFirmwareDescription();
        EXPECT_EQ(dlg.firmware.firmwareVersion, c.version);
        EXPECT_EQ(dlg.firmware.firmwareFileName, "fw.bin");
        EXPECT_EQ(null.window.Text(ids::kFirmwareVersionLine), "Firmware version  =  " + c.version);
        EXPECT_EQ(null.window.Text(ids::kFirmwareFileLine),
                  "Firmware file  =  fw.bin     (3-7-2011,  2:05:09 PM)");
        EXPECT_TRUE(null.window.Enabled(ids::kBeginUpdate));
    }
    EXPECT_TRUE(Boxes().empty());

    // A blank at the end of line 2 is part of the name.
    WriteText(dlg.firmware.programDir + "Vorenta_KT76_MM_VMM_V2.txt", "V\nfw.bin \n");
    dlg.firmware.LoadFirmwareDescription();
    EXPECT_EQ(Boxes().back().text, "Unable to open the firmware hex file:     \n     fw.bin      ");
}

TEST_F(FirmwareDescriptionTest, FewerThanTwoLinesDisableTheUpdate) {
    for (const std::string text : {"", "V2.60\n", "V2.60", "V2.60\n\n"}) {
        SCOPED_TRACE(text);
        null.window.EnableDlgItem(ids::kBeginUpdate, true);
        WriteText(dlg.firmware.programDir + "Vorenta_KT76_MM_VMM_V2.txt", text);
        dlg.firmware.LoadFirmwareDescription();
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back().text, kEmptyNameMessage);
        EXPECT_EQ(Boxes().back().caption, kFileCaption);
        EXPECT_EQ(Boxes().back().icon, MessageIcon::Warning);
        EXPECT_EQ(dlg.firmware.firmwareVersion, "");
        EXPECT_EQ(dlg.firmware.firmwareFileName, "");
        EXPECT_EQ(null.window.Text(ids::kFirmwareVersionLine), "Firmware version  =  ");
        EXPECT_EQ(null.window.Text(ids::kFirmwareFileLine), "Firmware file  =  ");
        EXPECT_FALSE(null.window.Enabled(ids::kBeginUpdate));
    }
}

TEST_F(FirmwareDescriptionTest, MissingOrUnreadableDescriptionFile) {
    const std::string path = dlg.firmware.programDir + "Vorenta_KT76_MM_VMM_V2.txt";
    null.window.SetDlgItemText(ids::kFirmwareFileLine, "Firmware file  =");
    dlg.firmware.LoadFirmwareDescription();

    WriteText(path, "V2.60\nfw.bin\n");
    WriteText(dlg.firmware.programDir + "fw.bin", "firmware");
    files.faults[path].readFails = true;
    dlg.firmware.LoadFirmwareDescription();

    ASSERT_EQ(Boxes().size(), 2u);
    const std::string tail = "     " + path + "     \n\nFirmware update wil be disabled.";
    EXPECT_EQ(Boxes()[0].text, "Unable to open the firmware description file:     \n" + tail);
    EXPECT_EQ(Boxes()[1].text, "Unable to read the firmware description file:     \n" + tail);
    for (const auto& box : Boxes()) {
        EXPECT_EQ(box.caption, kFileCaption);
        EXPECT_EQ(box.icon, MessageIcon::Warning);
    }
    EXPECT_EQ(dlg.firmware.firmwareVersion, "");
    EXPECT_EQ(dlg.firmware.firmwareFileName, "");
    EXPECT_EQ(null.window.Text(ids::kFirmwareVersionLine), "Firmware version  =  ");
    EXPECT_EQ(null.window.Text(ids::kFirmwareFileLine), "Firmware file  =");
    EXPECT_FALSE(null.window.Enabled(ids::kBeginUpdate));
}

TEST_F(FirmwareDescriptionTest, OnlyTheLeadingLinesAreReadAndTheyAreBounded) {
    const std::string path = dlg.firmware.programDir + "Vorenta_KT76_MM_VMM_V2.txt";
    WriteText(dlg.firmware.programDir + "fw.bin", "firmware");
    const std::string tail = "     " + path + "     \n\nFirmware update wil be disabled.";
    constexpr std::size_t kMiB = 1024 * 1024;

    // A valid description with a long tail: what follows the lines used is never read.
    for (const std::size_t length : {kMiB, kMiB + 1, 3 * kMiB}) {
        SCOPED_TRACE(length);
        std::string text = "V\nfw.bin\nthird\n";
        text.resize(length, 'x');
        WriteText(path, text);
        dlg.firmware.LoadFirmwareDescription();
        EXPECT_TRUE(Boxes().empty());
        EXPECT_EQ(dlg.firmware.firmwareVersion, "V");
        EXPECT_EQ(dlg.firmware.firmwareFileName, "fw.bin");
    }
    // The two lines used may end the file exactly at the limit, without a line end.
    const std::string longVersion(kMiB - 7, 'v');
    WriteText(path, longVersion + "\nfw.bin");
    dlg.firmware.LoadFirmwareDescription();
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(dlg.firmware.firmwareVersion, longVersion);
    EXPECT_EQ(dlg.firmware.firmwareFileName, "fw.bin");

    // Lines 1 and 2 not within 1 MiB: refused like a missing file, without
    // reading further; a file reporting a huge length that cannot be read too.
    WriteText(path, std::string(kMiB, 'v') + "\nfw.bin\n");
    dlg.firmware.LoadFirmwareDescription();
    ASSERT_EQ(Boxes().size(), 1u);
    WriteText(path, "V\nfw.bin\n");
    files.faults[path].length = std::uint64_t{2} << 30;
    files.faults[path].readFails = true;
    dlg.firmware.LoadFirmwareDescription();
    ASSERT_EQ(Boxes().size(), 2u);
    for (const auto& box : Boxes()) {
        EXPECT_EQ(box.text, "Unable to open the firmware description file:     \n" + tail);
    }
    EXPECT_EQ(dlg.firmware.firmwareFileName, "");
    EXPECT_FALSE(null.window.Enabled(ids::kBeginUpdate));

    // A file that grows past the limit while it is read, without a line end.
    files.faults.clear();
    WriteText(path, std::string(3 * kMiB, 'v'));
    files.faults[path].length = 10;
    dlg.firmware.LoadFirmwareDescription();
    EXPECT_EQ(Boxes().back().text, "Unable to read the firmware description file:     \n" + tail);
}

TEST_F(FirmwareDescriptionTest, FirmwareFileThatCannotBeOpenedFailsFast) {
    fs::create_directory(dlg.firmware.programDir + "folder");
    ASSERT_EQ(::mkfifo((dlg.firmware.programDir + "fifo").c_str(), 0600), 0);
    WriteText(dlg.firmware.programDir + "held.bin", "firmware");
    // Held by a writer: only readers share a file.
    const auto holder =
        files.real.Open(dlg.firmware.programDir + "held.bin", OpenMode::ReadWriteExisting);

    const std::string device = fs::relative("/dev/null", dlg.firmware.programDir).string();
    for (const std::string& name : {std::string("gone.bin"), std::string("folder"),
                                    std::string("fifo"), std::string("held.bin"), device}) {
        SCOPED_TRACE(name);
        null.window.EnableDlgItem(ids::kBeginUpdate, true);
        dlg.firmware.firmwareFileName = name;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(dlg.firmware.CheckFirmwareFile(), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back().text,
                  "Unable to open the firmware hex file:     \n     " + name + "     ");
        EXPECT_EQ(null.window.Text(ids::kFirmwareFileLine), "Firmware file  =  " + name);
        EXPECT_FALSE(null.window.Enabled(ids::kBeginUpdate));
        // Only the start-up step forgets the name, so a later retry can work.
        EXPECT_EQ(dlg.firmware.firmwareFileName, name);
    }
}

TEST_F(FirmwareDescriptionTest, DateFollowsTheFileModificationTime) {
    const std::string path = dlg.firmware.programDir + "fw.bin";
    WriteText(path, "firmware");
    for (const std::time_t when : {std::time_t{1299506709}, std::time_t{1700000000}}) {
        const timespec times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        std::tm local{};
        ::localtime_r(&when, &local);
        const LocalTime expected{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour,        local.tm_min,     local.tm_sec};
        dlg.firmware.firmwareFileName = "fw.bin";
        EXPECT_EQ(dlg.firmware.CheckFirmwareFile(), 1);
        EXPECT_EQ(null.window.Text(ids::kFirmwareFileLine),
                  "Firmware file  =  fw.bin" + FormatFirmwareDate(expected));
    }
    // A time that cannot be read still passes, with the name alone.
    files.faults[path].modified.emplace(std::nullopt);
    EXPECT_EQ(dlg.firmware.CheckFirmwareFile(), 1);
    EXPECT_EQ(null.window.Text(ids::kFirmwareFileLine), "Firmware file  =  fw.bin");
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace vorenta
