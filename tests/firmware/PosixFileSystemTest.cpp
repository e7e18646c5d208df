#include <sys/stat.h>

#include <filesystem>

#include "tests/firmware/FirmwareFixture.h"

namespace vorenta {
namespace {

namespace fs = std::filesystem;
using PosixFileSystemTest = FirmwareFilesTest;

TEST_F(PosixFileSystemTest, OpensOnlyRegularFiles) {
    PosixFileSystem& posix = files.real;
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
    PosixFileSystem& posix = files.real;
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
    EXPECT_FALSE(posix.RemoveFile(file));
    EXPECT_EQ(ReadBytes(file), data);

    first.reset();
    auto second = posix.Open(file, OpenMode::ReadExisting);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Length(), 3u);
}

TEST_F(PosixFileSystemTest, NeverEmptiesAFileWithAnotherName) {
    const std::string file = root + "/file";
    WriteText(file, "data");
    fs::create_hard_link(file, root + "/second-name");
    EXPECT_FALSE(files.real.Open(root + "/second-name", OpenMode::CreateTruncateReadWrite));
    EXPECT_EQ(ReadBytes(file).size(), 4u);
}

TEST_F(PosixFileSystemTest, RemovesOnlyRegularFiles) {
    PosixFileSystem& posix = files.real;
    const std::string file = root + "/file";
    WriteText(file, "data");
    fs::create_symlink(file, root + "/link");

    EXPECT_FALSE(posix.RemoveFile(root + "/link"));
    EXPECT_FALSE(posix.RemoveFile(root + "/temp"));
    EXPECT_FALSE(posix.RemoveFile(root + "/missing"));
    EXPECT_TRUE(fs::is_symlink(root + "/link"));
    EXPECT_TRUE(fs::is_directory(root + "/temp"));
    EXPECT_TRUE(posix.RemoveFile(file));
    EXPECT_FALSE(fs::exists(file));
}

}  // namespace
}  // namespace vorenta
