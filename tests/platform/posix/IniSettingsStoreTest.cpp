#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "platform/posix/IniSettingsStore.h"
#include "tests/support/TempFolder.h"

namespace vorenta::testing {
namespace {

class IniSettings : public ::testing::Test {
  protected:
    std::filesystem::path File() const { return tmp.path() / "Harwen Systems/PLSM_Update.ini"; }

    TempFolder tmp;
    IniSettingsStore store{"Harwen Systems", "PLSM_Update", tmp.path()};
};

TEST_F(IniSettings, RoundTripCreatesAPrivateFolder) {
    EXPECT_EQ(store.FilePath(), File());
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), -1);
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 12));
    EXPECT_EQ(ReadFile(File()), "[Settings]\nComPort=12\n");
    EXPECT_EQ(store.GetProfileInt("settings", "comport", -1), 12);

    struct stat info {};
    ASSERT_EQ(stat(File().parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700U);

    IniSettingsStore other("Harwen Systems", "PLSM_Update", tmp.path());
    ASSERT_TRUE(other.WriteProfileInt("Settings", "ComPort", -3));
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", 0), -3);
}

TEST_F(IniSettings, DamagedValuesGiveTheDefaultUntilTheNextSave) {
    for (const std::string& contents :
         {std::string("[Settings]\nComPort=abc\n"), std::string("[Settings]\nComPort=12x\n"),
          std::string("[Settings]\nComPort=\n"), std::string("[Settings]\nComPort=99999999999\n"),
          std::string("[Other]\nComPort=4\n"), std::string("\x01\xff\0[Settings\nComPort", 20),
          std::string("ComPort=5\n")}) {
        WriteFile(File(), contents);
        EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), -1) << contents;
    }
    WriteFile(File(), "[Settings]\n  ComPort = 7 \r\n");
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), 7);

    WriteFile(File(), std::string("junk\0line\n[Settings]\nComPort=zz\n", 31));
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 8));
    EXPECT_EQ(ReadFile(File()), "[Settings]\nComPort=8\n");
}

TEST_F(IniSettings, RewriteKeepsEverythingElse) {
    WriteFile(File(),
              "; kept\n[Window]\nLeft=5\n\n[Settings]\nTheme=dark\nComPort=3\n\n[Last]\nY=2\n");
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 7));
    EXPECT_EQ(ReadFile(File()),
              "; kept\n[Window]\nLeft=5\n\n[Settings]\nTheme=dark\nComPort=7\n\n[Last]\nY=2\n");

    WriteFile(File(), "[Settings]\nTheme=dark\n\n[Last]\nY=2\n");
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 4));
    EXPECT_EQ(ReadFile(File()), "[Settings]\nTheme=dark\nComPort=4\n\n[Last]\nY=2\n");

    WriteFile(File(), "[Last]\nY=2");
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 1));
    EXPECT_EQ(ReadFile(File()), "[Last]\nY=2\n\n[Settings]\nComPort=1\n");
}

// The new file takes the old one's place by rename: a reader that has the old
// file open keeps reading all of it, and no temporary file is left behind.
TEST_F(IniSettings, ReplacesTheFileWholeNeverInPlace) {
    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 5));
    std::ifstream reader(File(), std::ios::binary);
    struct stat before {};
    ASSERT_EQ(stat(File().c_str(), &before), 0);

    ASSERT_TRUE(store.WriteProfileInt("Settings", "ComPort", 6));
    const std::string seen(std::istreambuf_iterator<char>(reader), {});
    EXPECT_EQ(seen, "[Settings]\nComPort=5\n");
    struct stat after {};
    ASSERT_EQ(stat(File().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(File().parent_path()), {}), 1);
}

// A write that cannot finish (here: the file-size limit, standing in for a
// full disk, which stops root too) leaves the old file as it was.
TEST_F(IniSettings, FailedWriteLeavesTheOldFile) {
    const std::string old = "[Window]\nLeft=5\nTop=7\n[Settings]\nComPort=5\n";
    WriteFile(File(), old);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = store.WriteProfileInt("Settings", "ComPort", 9);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(File()), old);
    EXPECT_EQ(store.GetProfileInt("Settings", "ComPort", -1), 5);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(File().parent_path()), {}), 1);
}

TEST_F(IniSettings, NoFolderToWriteInIsAFailureNotACrash) {
    WriteFile(tmp.path() / "blocked", "a file where the folder should be");
    IniSettingsStore blocked("Harwen Systems", "PLSM_Update", tmp.path() / "blocked");
    EXPECT_FALSE(blocked.WriteProfileInt("Settings", "ComPort", 1));
    EXPECT_EQ(blocked.GetProfileInt("Settings", "ComPort", -1), -1);

    // No home folder known: nothing is written anywhere, least of all in the
    // current folder.
    IniSettingsStore nowhere("Harwen Systems", "PLSM_Update", "");
    EXPECT_EQ(nowhere.FilePath(), "");
    EXPECT_FALSE(nowhere.WriteProfileInt("Settings", "ComPort", 1));
    EXPECT_EQ(nowhere.GetProfileInt("Settings", "ComPort", -1), -1);
    EXPECT_FALSE(std::filesystem::exists("Harwen Systems"));
}

}  // namespace
}  // namespace vorenta::testing
