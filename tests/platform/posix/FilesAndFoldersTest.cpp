// Folders, names and whole-file writes as every POSIX system has them.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "platform/ProcessInfo.h"
#include "platform/posix/Folders.h"
#include "platform/posix/PlainName.h"
#include "platform/posix/PosixLogFolder.h"
#include "platform/posix/ReplaceFile.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace vorenta {
namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777U) : 0U;
}

TEST(TempDirFromEnvironment, TrailingSlashAndFallback) {
    EXPECT_EQ(TempDirFromEnvironment(std::nullopt), "/tmp/");
    EXPECT_EQ(TempDirFromEnvironment(""), "/tmp/");
    EXPECT_EQ(TempDirFromEnvironment("/var/tmp"), "/var/tmp/");
    EXPECT_EQ(TempDirFromEnvironment("/run/user/1000/"), "/run/user/1000/");

    const ScopedEnv tmpdir("TMPDIR", "/var/tmp");
    EXPECT_EQ(TemporaryFolder(), "/var/tmp/");
}

TEST(CreatePrivateFolder, MakesMissingFoldersForTheOwnerOnly) {
    const TempFolder tmp;
    fs::create_directory(tmp / "shared");
    fs::permissions(tmp / "shared", fs::perms::owner_all | fs::perms::group_all);

    ASSERT_TRUE(CreatePrivateFolder(tmp / "shared/a/b"));
    EXPECT_EQ(ModeOf(tmp / "shared/a"), 0700U);
    EXPECT_EQ(ModeOf(tmp / "shared/a/b"), 0700U);
    EXPECT_EQ(ModeOf(tmp / "shared"), 0770U);  // an existing folder keeps its mode
    EXPECT_TRUE(CreatePrivateFolder(tmp / "shared/a/b"));

    WriteFile(tmp / "file", "in the way");
    EXPECT_FALSE(CreatePrivateFolder(tmp / "file"));
    EXPECT_FALSE(CreatePrivateFolder(tmp / "file/below"));
}

TEST(IsPlainName, OneEntryDirectlyInTheFolder) {
    for (const char* name : {"Hex.tmp", "session.log", "..x", ".hidden", "a b", "a\\b"}) {
        EXPECT_TRUE(IsPlainName(name)) << name;
    }
    for (const std::string& name :
         {std::string(), std::string("."), std::string(".."), std::string("a/b"),
          std::string("/abs"), std::string("dir/"), std::string("a\0b", 3)}) {
        EXPECT_FALSE(IsPlainName(name)) << name;
    }
}

// A NUL would cut the name short where the system reads it: the log would be
// written to another file than the one asked for.
TEST(IsPlainName, TheLogFolderRefusesNamesTheSystemWouldCutShort) {
    const TempFolder tmp;
    PosixLogFolder folder(tmp / "logs");
    std::string error;
    EXPECT_FALSE(folder.Create(std::string("a.log\0.txt", 10), error));
    EXPECT_NE(error.find("not a file name"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(tmp / "logs/a.log"));
    WriteFile(tmp / "logs/a.log", "kept");
    EXPECT_FALSE(folder.Remove(std::string("a.log\0x", 7)));
    EXPECT_EQ(folder.ReadTail(std::string("a.log\0x", 7), 100), "");
    EXPECT_EQ(ReadFile(tmp / "logs/a.log"), "kept");

    ASSERT_TRUE(folder.Create("b.log", error)) << error;
    EXPECT_EQ(ModeOf(tmp / "logs/b.log"), 0600U);
}

TEST(ReplaceFile, ReplacesInOneStepAndLeavesTheOldFileOnFailure) {
    TempFolder tmp;
    const auto path = tmp.path() / "ports.conf";
    WriteFile(path, "old\n");
    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(path, "new\n", error)) << error;
    EXPECT_EQ(ReadFile(path), "new\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left beside it

    EXPECT_FALSE(ReplaceFileAtomically(tmp.path() / "missing/ports.conf", "x", error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

}  // namespace
}  // namespace vorenta
