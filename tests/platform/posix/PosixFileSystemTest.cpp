#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/NativeFileSystem.h"
#include "tests/support/TempFolder.h"

namespace vorenta {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void WriteText(const std::string& path, const std::string& text) {
    WriteFile(path, text);
}

Bytes ReadBytes(const std::string& path) {
    const std::string text = ReadFile(path);
    return Bytes(text.begin(), text.end());
}

// A folder of the test's own with a temporary-files folder in it.
class PosixFileSystemTest : public ::testing::Test {
  protected:
    PosixFileSystemTest() { fs::create_directory(root + "/temp"); }

    TempFolder tmp;
    const std::string root = tmp.path().string();
    NativeFileSystem posix;
};

TEST_F(PosixFileSystemTest, OpensOnlyRegularFiles) {
    const std::string file = root + "/file";
    WriteText(file, "data");
    fs::create_symlink(file, root + "/link");
    ASSERT_EQ(::mkfifo((root + "/fifo").c_str(), 0600), 0);

    EXPECT_TRUE(posix.Open(root + "/link", OpenMode::ReadExisting));  // a firmware link is fine
    EXPECT_FALSE(posix.Open(root + "/link", OpenMode::ReadWriteExisting));
    EXPECT_FALSE(posix.Open(root + "/link", OpenMode::CreateTruncateReadWrite));
    for (const OpenMode mode :
         {OpenMode::ReadExisting, OpenMode::ReadWriteExisting, OpenMode::CreateTruncateReadWrite}) {
        EXPECT_FALSE(posix.Open("", mode));
        EXPECT_FALSE(posix.Open(root, mode));
        EXPECT_FALSE(posix.Open(root + "/fifo", mode));
        EXPECT_FALSE(posix.Open("/dev/null", mode));
        EXPECT_FALSE(posix.Open(file + std::string(1, '\0') + "x", mode));
    }
    EXPECT_EQ(ReadBytes(file), Bytes({'d', 'a', 't', 'a'}));
}

TEST_F(PosixFileSystemTest, OneHolderAtATime) {
    const std::string file = root + "/file";
    auto first = posix.Open(file, OpenMode::CreateTruncateReadWrite);
    ASSERT_TRUE(first);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    const Bytes data{1, 2, 3};
    EXPECT_EQ(first->Write(data.data(), data.size()), 3);
    EXPECT_FALSE(posix.Open(file, OpenMode::ReadExisting));
    EXPECT_FALSE(posix.Open(file, OpenMode::CreateTruncateReadWrite));
    EXPECT_EQ(ReadBytes(file), data);

    first.reset();
    auto second = posix.Open(file, OpenMode::ReadExisting);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Length(), 3u);

    // Readers share the file (stations sending one firmware at once); nobody
    // writes it meanwhile.
    auto third = posix.Open(file, OpenMode::ReadExisting);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->Length(), 3u);
    EXPECT_FALSE(posix.Open(file, OpenMode::ReadWriteExisting));
    EXPECT_FALSE(posix.Open(file, OpenMode::CreateTruncateReadWrite));
    EXPECT_EQ(ReadBytes(file), data);
}

TEST_F(PosixFileSystemTest, NeverEmptiesAFileWithAnotherName) {
    const std::string file = root + "/file";
    WriteText(file, "data");
    fs::create_hard_link(file, root + "/second-name");
    EXPECT_FALSE(posix.Open(root + "/second-name", OpenMode::CreateTruncateReadWrite));
    EXPECT_EQ(ReadBytes(file).size(), 4u);
}

TEST_F(PosixFileSystemTest, IdentityTellsVersionsOfAFileApart) {
    const std::string file = root + "/fw.bin";
    WriteText(file, "version 1");
    const auto first = posix.Open(file, OpenMode::ReadExisting)->Identity();
    ASSERT_TRUE(first);
    EXPECT_EQ(posix.Open(file, OpenMode::ReadExisting)->Identity(), first);

    // Rewritten in place with the same length, and replaced by another file.
    WriteText(file, "version 2");
    const auto rewritten = posix.Open(file, OpenMode::ReadExisting)->Identity();
    EXPECT_NE(rewritten, first);
    WriteText(root + "/new.bin", "version 2");
    fs::rename(root + "/new.bin", file);
    const auto replaced = posix.Open(file, OpenMode::ReadExisting)->Identity();
    EXPECT_NE(replaced, rewritten);
    EXPECT_NE(replaced->index, rewritten->index);
}

TEST_F(PosixFileSystemTest, SessionFolderIsPrivateAndGoesWithItsFiles) {
    const std::string parent = root + "/temp";
    auto folder = posix.CreateSessionFolder(parent);  // no trailing separator
    ASSERT_TRUE(folder);
    const std::string path = folder->Path();
    ASSERT_EQ(path.back(), '/');
    EXPECT_EQ(fs::path(path).parent_path().parent_path(), fs::path(parent));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    for (const char* bad : {"", ".", "..", "a/b", "../escape"}) {
        EXPECT_FALSE(folder->CreateFile(bad)) << bad;
    }
    EXPECT_FALSE(fs::exists(root + "/escape"));

    auto file = folder->CreateFile("Hex.tmp");
    ASSERT_TRUE(file);
    const Bytes data{1, 2, 3};
    ASSERT_EQ(file->Write(data.data(), data.size()), 3);
    EXPECT_FALSE(posix.Open(path + "Hex.tmp", OpenMode::ReadExisting));  // held
    // Made again: a new, empty file, even where a link was planted meanwhile.
    file.reset();
    fs::remove(path + "Hex.tmp");
    fs::create_symlink(root + "/victim", path + "Hex.tmp");
    file = folder->CreateFile("Hex.tmp");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Length(), 0u);
    EXPECT_FALSE(fs::exists(root + "/victim"));

    // Two folders under one parent never share a name.
    const auto second = posix.CreateSessionFolder(parent + "/");
    ASSERT_TRUE(second);
    EXPECT_NE(second->Path(), path);

    file.reset();
    folder.reset();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::exists(second->Path()));
    EXPECT_FALSE(posix.CreateSessionFolder(root + "/missing/"));
}

TEST_F(PosixFileSystemTest, AbandonedFoldersOfThisUserGoWhenNobodyHoldsThem) {
    const std::string parent = root + "/temp/";
    const std::string outside = root + "/outside";
    WriteText(outside, "keep");

    // A killed session's folder, with its image and a link in it.
    const std::string abandoned = parent + "vorenta-session-dead01";
    fs::create_directory(abandoned);
    fs::permissions(abandoned, fs::perms::owner_all);
    WriteText(abandoned + "/.vorenta-session", "");
    WriteText(abandoned + "/Hex.tmp", "old image");
    fs::create_symlink(outside, abandoned + "/link");
    // Things that only look like one: another mode, a link to a folder, and
    // one holding a folder of its own (never made by a session).
    const std::string openMode = parent + "vorenta-session-shared";
    fs::create_directory(openMode);
    fs::permissions(openMode,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    WriteText(openMode + "/Hex.tmp", "x");
    fs::create_directory(root + "/target");
    WriteText(root + "/target/Hex.tmp", "target");
    fs::create_directory_symlink(root + "/target", parent + "vorenta-session-link01");
    const std::string nested = parent + "vorenta-session-nest01";
    fs::create_directories(nested + "/inner");
    fs::permissions(nested, fs::perms::owner_all);
    // The user's own private folder of that name, not made by a session.
    const std::string unmarked = parent + "vorenta-session-mine01";
    fs::create_directory(unmarked);
    fs::permissions(unmarked, fs::perms::owner_all);
    WriteText(unmarked + "/precious.txt", "keep");
    // A live session's folder is held.
    const auto live = posix.CreateSessionFolder(parent);
    ASSERT_TRUE(live);
    const auto liveImage = live->CreateFile("Hex.tmp");
    ASSERT_TRUE(liveImage);

    const auto next = posix.CreateSessionFolder(parent);
    ASSERT_TRUE(next);
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_EQ(ReadBytes(outside), Bytes({'k', 'e', 'e', 'p'}));
    EXPECT_TRUE(fs::exists(openMode + "/Hex.tmp"));
    EXPECT_TRUE(fs::exists(root + "/target/Hex.tmp"));
    EXPECT_TRUE(fs::is_symlink(parent + "vorenta-session-link01"));
    EXPECT_TRUE(fs::exists(nested + "/inner"));
    EXPECT_TRUE(fs::exists(unmarked + "/precious.txt"));
    EXPECT_TRUE(fs::exists(live->Path() + "Hex.tmp"));
    // A live session's folder carries the mark that a later clean-up looks for.
    EXPECT_TRUE(fs::is_regular_file(live->Path() + ".vorenta-session"));
}

}  // namespace
}  // namespace vorenta
