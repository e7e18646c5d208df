// Files on Windows: held without sharing, regular files only, emptied only
// when they are ours, deleted only when nobody holds them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/ProcessInfo.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/WinApi.h"

namespace vorenta {
namespace {

// A folder of the test's own in the temporary folder, removed at the end.
class ScratchFolder {
  public:
    ScratchFolder()
        : path_(TemporaryFolder() + "vorenta-files-" + std::to_string(::GetCurrentProcessId()) +
                "\\") {
        ::CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const char* name : {"a.bin", "b.bin", "link.bin", "sub"}) {
            ::DeleteFileA((path_ + name).c_str());
            ::RemoveDirectoryA((path_ + name).c_str());
        }
        ::RemoveDirectoryA(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void Put(Win32FileSystem& files, const std::string& path, const std::string& text) {
    auto file = files.Open(path, OpenMode::CreateTruncateReadWrite);
    ASSERT_NE(file, nullptr);
    const auto bytes = Bytes(text);
    ASSERT_EQ(file->Write(bytes.data(), bytes.size()), static_cast<long>(bytes.size()));
}

TEST(Win32FileSystemTest, WritesReadsSeeksAndDatesAFile) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string path = folder / "a.bin";
    auto file = files.Open(path, OpenMode::CreateTruncateReadWrite);
    ASSERT_NE(file, nullptr);
    const auto bytes = Bytes("0123456789");
    EXPECT_EQ(file->Write(bytes.data(), bytes.size()), 10);
    EXPECT_TRUE(file->Flush());
    EXPECT_EQ(file->Length(), 10U);
    ASSERT_TRUE(file->Seek(4));
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(file->Read(buffer, sizeof buffer), 6);
    EXPECT_EQ(buffer[0], '4');
    EXPECT_EQ(file->Read(buffer, sizeof buffer), 0);

    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const auto when = file->ModificationTime();
    ASSERT_TRUE(when.has_value());
    EXPECT_EQ(when->year, now.wYear);
    EXPECT_GE(when->month, 1);
    EXPECT_LE(when->month, 12);
}

TEST(Win32FileSystemTest, AFileHeldIsNotSharedNorDeleted) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string path = folder / "a.bin";
    Put(files, path, "firmware");
    {
        auto held = files.Open(path, OpenMode::ReadExisting);
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(files.Open(path, OpenMode::ReadExisting), nullptr);
        EXPECT_EQ(files.Open(path, OpenMode::CreateTruncateReadWrite), nullptr);
        EXPECT_FALSE(files.RemoveFile(path));
    }
    EXPECT_TRUE(files.RemoveFile(path));
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(files.RemoveFile(path));
}

TEST(Win32FileSystemTest, CreatingEmptiesAnOldFileButMissingFilesStayMissing) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string path = folder / "a.bin";
    EXPECT_EQ(files.Open(path, OpenMode::ReadExisting), nullptr);
    EXPECT_EQ(files.Open(path, OpenMode::ReadWriteExisting), nullptr);
    EXPECT_EQ(files.Open("", OpenMode::CreateTruncateReadWrite), nullptr);

    Put(files, path, "a much longer old content");
    Put(files, path, "new");
    auto file = files.Open(path, OpenMode::ReadWriteExisting);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Length(), 3U);
}

TEST(Win32FileSystemTest, FoldersAndDevicesAreNotFiles) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string sub = folder / "sub";
    ASSERT_TRUE(::CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_EQ(files.Open(sub, OpenMode::ReadExisting), nullptr);
    EXPECT_FALSE(files.RemoveFile(sub));
    EXPECT_NE(::GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(files.Open("NUL", OpenMode::ReadExisting), nullptr);
}

TEST(Win32FileSystemTest, AFileWithASecondNameIsNotEmptied) {
    ScratchFolder folder;
    Win32FileSystem files;
    const std::string original = folder / "a.bin";
    const std::string link = folder / "link.bin";
    Put(files, original, "someone else's data");
    if (!::CreateHardLinkA(link.c_str(), original.c_str(), nullptr)) {
        GTEST_SKIP() << "no hard links on this file system";
    }
    EXPECT_EQ(files.Open(link, OpenMode::CreateTruncateReadWrite), nullptr);
    auto file = files.Open(original, OpenMode::ReadExisting);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Length(), 19U);
}

}  // namespace
}  // namespace vorenta
