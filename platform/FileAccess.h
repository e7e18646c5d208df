#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vorenta {

// Broken-down local time of a file's modification.
struct LocalTime {
    int year = 0;    // full year
    int month = 0;   // 1-12
    int day = 0;     // 1-31
    int hour = 0;    // 0-23
    int minute = 0;  // 0-59
    int second = 0;  // 0-60
};

// What tells one version of a file from another: the file itself (volume and
// index, so a file replaced under the same name differs), its length and the
// times of its last change, to the finest unit the platform keeps.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t length = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;  // status change where the platform has one, else 0

    bool operator==(const FileIdentity&) const = default;
};

enum class OpenMode {
    ReadExisting,            // an existing regular file, read only
    ReadWriteExisting,       // an existing regular file, read and write
    CreateTruncateReadWrite  // created or truncated, read and write
};

// An open file, held until destroyed: alone when opened for writing, with
// other readers only when opened for reading.
class IFile {
  public:
    virtual ~IFile() = default;
    // Bytes read (0 at the end), -1 on an error.
    virtual long Read(std::uint8_t* buffer, std::size_t count) = 0;
    // Bytes written, -1 on an error.
    virtual long Write(const std::uint8_t* data, std::size_t count) = 0;
    virtual bool Seek(std::uint64_t offset) = 0;
    virtual std::optional<std::uint64_t> Length() = 0;
    // Last modification in local time, when it can be read and converted.
    virtual std::optional<LocalTime> ModificationTime() = 0;
    // Flushes what was written to the device; false when it did not get there.
    virtual bool Flush() = 0;
    // Which version of which file this is, when the platform can tell.
    virtual std::optional<FileIdentity> Identity() = 0;
};

// The part of a request of `count` bytes a single Read or Write takes on: no
// more than its result can report.
inline std::size_t ReportableCount(std::size_t count) {
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<long>::max());
    return count > kMax ? kMax : count;
}

// A private folder for the temporary files of one update session, made fresh
// under the temporary-files folder and reachable by this user only. It is held
// (locked) while the object lives, so no other session mistakes it for an
// abandoned one, and removed with the files made in it when destroyed. Files
// made in it must be closed before it is destroyed (Windows cannot remove an
// open file).
//
// POSIX: mkdtemp (mode 0700), a flock on the folder, files made with openat
// relative to it. Windows: GetTempPath and a folder of a unique name, held
// open without delete sharing.
class ISessionFolder {
  public:
    virtual ~ISessionFolder() = default;
    // The folder, with its trailing separator.
    virtual const std::string& Path() const = 0;
    // Makes the file `name` in the folder, empty, for reading and writing,
    // held for exclusive use until closed; a file of that name made earlier
    // is replaced. Null when it cannot be made.
    virtual std::unique_ptr<IFile> CreateFile(std::string_view name) = 0;
};

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    // Null when the path cannot be opened as a regular file in that mode
    // (missing, a directory, a device, a FIFO, an empty path, held by a
    // writer, held by anyone when opened for writing, or a symbolic link where
    // one must not be followed).
    virtual std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode) = 0;
    // Makes a session folder under `parent` (the temporary-files folder, with
    // its trailing separator); null when none can be made there. Folders that
    // sessions of this user left behind (a killed process) and nobody holds
    // any more are removed first. Nothing else is ever removed.
    virtual std::unique_ptr<ISessionFolder> CreateSessionFolder(const std::string& parent) = 0;
    // The same, with the reason in `why` when none can be made ("No such file
    // or directory", "it is not an absolute path").
    virtual std::unique_ptr<ISessionFolder> MakeSessionFolder(const std::string& parent,
                                                              std::string& why) {
        auto folder = CreateSessionFolder(parent);
        if (!folder) {
            why = "no folder of a session can be made there";
        }
        return folder;
    }
    // A record to append lines to, made when missing and readable by others
    // as records are: every write lands at its end, other writers may append
    // too, and nothing but a regular file reached without a symbolic link is
    // opened (a FIFO cannot hang it). Null, with the reason in `error`, when
    // it cannot be done.
    virtual std::unique_ptr<IFile> OpenForAppend(const std::string& path, std::string& error) {
        (void)path;
        error = "files cannot be appended to here";
        return nullptr;
    }
};

}  // namespace vorenta
