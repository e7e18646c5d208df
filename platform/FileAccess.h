#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

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

enum class OpenMode {
    ReadExisting,            // an existing regular file, read only
    ReadWriteExisting,       // an existing regular file, read and write
    CreateTruncateReadWrite  // created or truncated, read and write
};

// An open file, held for exclusive use until destroyed.
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
};

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    // Null when the path cannot be opened as a regular file in that mode
    // (missing, a directory, a device, a FIFO, an empty path, held by another
    // process, or a symbolic link where one must not be followed).
    virtual std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode) = 0;
    // Removes a regular file; a missing file, or anything else, is left alone.
    virtual bool RemoveFile(const std::string& path) = 0;
};

}  // namespace vorenta
