// Files on Windows: held without sharing, regular files only, emptied only
// when they are ours, told apart by their identity; session folders that are
// private, held while they live and cleaned up only when abandoned.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/NativeFileSystem.h"
#include "platform/ProcessInfo.h"
#include "platform/win32/WinApi.h"
#include "tests/support/TempFolder.h"

namespace vorenta {
namespace {

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A folder of the test's own, its paths in the form the ...A calls take.
class ScratchFolder {
  public:
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

  private:
    TempFolder folder_;
    std::string path_ = folder_.WithSeparator();
};

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void Put(NativeFileSystem& files, const std::string& path, const std::string& text) {
    auto file = files.Open(path, OpenMode::CreateTruncateReadWrite);
    ASSERT_NE(file, nullptr);
    const auto bytes = Bytes(text);
    ASSERT_EQ(file->Write(bytes.data(), bytes.size()), static_cast<long>(bytes.size()));
}

TEST(Win32FileSystemTest, WritesReadsSeeksAndDatesAFile) {
    ScratchFolder folder;
    NativeFileSystem files;
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

TEST(Win32FileSystemTest, AFileHeldIsSharedByReadersOnlyAndNotDeleted) {
    ScratchFolder folder;
    NativeFileSystem files;
    const std::string path = folder / "a.bin";
    Put(files, path, "firmware");
    {
        auto held = files.Open(path, OpenMode::ReadExisting);
        ASSERT_NE(held, nullptr);
        // Stations sending one firmware at once read it side by side.
        EXPECT_NE(files.Open(path, OpenMode::ReadExisting), nullptr);
        EXPECT_EQ(files.Open(path, OpenMode::ReadWriteExisting), nullptr);
        EXPECT_EQ(files.Open(path, OpenMode::CreateTruncateReadWrite), nullptr);
        EXPECT_FALSE(::DeleteFileA(path.c_str()));
    }
    {
        auto writer = files.Open(path, OpenMode::ReadWriteExisting);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(files.Open(path, OpenMode::ReadExisting), nullptr);
    }
    EXPECT_NE(files.Open(path, OpenMode::ReadExisting), nullptr);
}

TEST(Win32FileSystemTest, IdentityTellsOneVersionOfAFileFromAnother) {
    ScratchFolder folder;
    NativeFileSystem files;
    const std::string path = folder / "a.bin";
    const std::string other = folder / "b.bin";
    Put(files, path, "version one");
    Put(files, other, "version one");

    const auto Identity = [&files](const std::string& name) {
        auto file = files.Open(name, OpenMode::ReadExisting);
        return file ? file->Identity() : std::nullopt;
    };
    const auto first = Identity(path);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->length, 11U);
    EXPECT_EQ(Identity(path), first);  // nothing changed: the same

    const auto second = Identity(other);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->volume, first->volume);
    EXPECT_NE(second->index, first->index);  // same bytes, another file

    {
        auto file = files.Open(path, OpenMode::ReadWriteExisting);
        ASSERT_NE(file, nullptr);
        const auto before = file->Identity();
        ASSERT_TRUE(before.has_value());
        // Nanoseconds since 1970, on the file times' grid of 100 ns.
        EXPECT_GT(before->modifiedNs, 0);
        EXPECT_EQ(before->modifiedNs % 100, 0);
    }
    Put(files, path, "version two, longer");
    const auto third = Identity(path);
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->length, 19U);
    EXPECT_NE(third, first);
}

TEST(Win32FileSystemTest, CreatingEmptiesAnOldFileButMissingFilesStayMissing) {
    ScratchFolder folder;
    NativeFileSystem files;
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
    NativeFileSystem files;
    const std::string sub = folder / "sub";
    ASSERT_TRUE(::CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_EQ(files.Open(sub, OpenMode::ReadExisting), nullptr);
    EXPECT_NE(::GetFileAttributesA(sub.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(files.Open("NUL", OpenMode::ReadExisting), nullptr);
}

TEST(Win32FileSystemTest, AFileWithASecondNameIsNotEmptied) {
    ScratchFolder folder;
    NativeFileSystem files;
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

TEST(Win32SessionFolderTest, EachSessionHasItsOwnFolderAndRemovesItWithItsFiles) {
    ScratchFolder parent;
    NativeFileSystem files;
    auto first = files.CreateSessionFolder(parent.Path());
    auto second = files.CreateSessionFolder(parent.Path());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first->Path(), second->Path());
    EXPECT_EQ(first->Path().rfind(parent.Path() + "vorenta-session-", 0), 0U);
    EXPECT_EQ(first->Path().back(), '\\');
    EXPECT_TRUE(Exists(first->Path()));

    const std::string folder = first->Path();
    const std::string image = folder + "page.img";
    {
        auto file = first->CreateFile("page.img");
        ASSERT_NE(file, nullptr);
        const auto bytes = Bytes("pages");
        ASSERT_EQ(file->Write(bytes.data(), bytes.size()), 5);
        // Held without sharing: nobody else reads or deletes it meanwhile.
        EXPECT_EQ(files.Open(image, OpenMode::ReadExisting), nullptr);
        EXPECT_FALSE(::DeleteFileA(image.c_str()));
        // Held folder: nobody else removes or renames it.
        EXPECT_FALSE(
            ::MoveFileA(folder.substr(0, folder.size() - 1).c_str(), (parent / "moved").c_str()));
    }
    // Made again: empty, the old one replaced.
    {
        auto file = first->CreateFile("page.img");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Length(), 0U);
    }
    for (const char* name : {"", ".", "..", "a\\b", "a/b", "c:x", "NUL", "COM1"}) {
        EXPECT_EQ(first->CreateFile(name), nullptr) << name;
    }

    first.reset();
    EXPECT_FALSE(Exists(image));
    EXPECT_FALSE(Exists(folder));
    EXPECT_TRUE(Exists(second->Path()));
}

TEST(Win32SessionFolderTest, OnlyAbandonedSessionFoldersAreCleanedUp) {
    ScratchFolder parent;
    NativeFileSystem files;

    // A living session with its page image.
    auto living = files.CreateSessionFolder(parent.Path());
    ASSERT_NE(living, nullptr);
    {
        auto file = living->CreateFile("page.img");
        ASSERT_NE(file, nullptr);
    }

    // What a killed session leaves: its folder with a file in it, held by nobody.
    const std::string abandoned = parent / "vorenta-session-killed\\";
    ASSERT_TRUE(::CreateDirectoryA(abandoned.c_str(), nullptr));
    Put(files, abandoned + ".vorenta-session", "");
    Put(files, abandoned + "page.img", "stale pages");
    // The user's own folder of that name, not made by a session.
    const std::string unmarked = parent / "vorenta-session-mine\\";
    ASSERT_TRUE(::CreateDirectoryA(unmarked.c_str(), nullptr));
    Put(files, unmarked + "precious.txt", "keep");

    // Not session folders, or not only what a session makes: left alone.
    const std::string unrelated = parent / "vorenta-other\\";
    ASSERT_TRUE(::CreateDirectoryA(unrelated.c_str(), nullptr));
    Put(files, unrelated + "keep.bin", "keep");
    Put(files, parent / "vorenta-session-file", "a file, not a folder");
    const std::string nested = parent / "vorenta-session-nested\\";
    ASSERT_TRUE(::CreateDirectoryA(nested.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((nested + "inner").c_str(), nullptr));
    Put(files, nested + "inner\\keep.bin", "keep");

    auto next = files.CreateSessionFolder(parent.Path());
    ASSERT_NE(next, nullptr);

    EXPECT_FALSE(Exists(abandoned));
    EXPECT_TRUE(Exists(living->Path() + "page.img"));
    EXPECT_NE(living->CreateFile("page.img"), nullptr);  // still usable
    EXPECT_TRUE(Exists(unrelated + "keep.bin"));
    EXPECT_TRUE(Exists(parent / "vorenta-session-file"));
    EXPECT_TRUE(Exists(nested + "inner\\keep.bin"));
    EXPECT_TRUE(Exists(unmarked + "precious.txt"));

    // Once its session has ended, the living one goes with it, and a third
    // session finds nothing more to clean.
    const std::string livingPath = living->Path();
    living.reset();
    EXPECT_FALSE(Exists(livingPath));
    auto third = files.CreateSessionFolder(parent.Path());
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(Exists(next->Path()));
}

TEST(Win32SessionFolderTest, NoFolderWhereNoneCanBeMade) {
    ScratchFolder parent;
    NativeFileSystem files;
    EXPECT_EQ(files.CreateSessionFolder(""), nullptr);
    EXPECT_EQ(files.CreateSessionFolder(parent / "missing\\"), nullptr);
    Put(files, parent / "plain.bin", "a file");
    EXPECT_EQ(files.CreateSessionFolder(parent / "plain.bin\\"), nullptr);
    // Without its trailing separator the parent is still found.
    auto folder = files.CreateSessionFolder(parent / "");
    ASSERT_NE(folder, nullptr);
    auto slashless = files.CreateSessionFolder(parent.Path().substr(0, parent.Path().size() - 1));
    ASSERT_NE(slashless, nullptr);
    EXPECT_EQ(slashless->Path().rfind(parent.Path(), 0), 0U);
}

}  // namespace
}  // namespace vorenta
