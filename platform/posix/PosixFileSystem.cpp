#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <limits>
#include <utility>

namespace vorenta {

namespace {

class PosixFile : public IFile {
  public:
    explicit PosixFile(std::unique_ptr<UniqueFd> fd) : fd_(std::move(fd)) {}

    long Read(std::uint8_t* buffer, std::size_t count) override {
        count = Clamp(count);
        std::size_t total = 0;
        while (total < count) {
            const ssize_t n = ::read(fd_->Get(), buffer + total, count - total);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return -1;
            }
            if (n == 0) {
                break;
            }
            total += static_cast<std::size_t>(n);
        }
        return static_cast<long>(total);
    }

    long Write(const std::uint8_t* data, std::size_t count) override {
        count = Clamp(count);
        std::size_t total = 0;
        while (total < count) {
            const ssize_t n = ::write(fd_->Get(), data + total, count - total);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return -1;
            }
            if (n == 0) {
                // No progress and no error: report it rather than spin.
                return -1;
            }
            total += static_cast<std::size_t>(n);
        }
        return static_cast<long>(total);
    }

    bool Seek(std::uint64_t offset) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
            return false;
        }
        return ::lseek(fd_->Get(), static_cast<off_t>(offset), SEEK_SET) >= 0;
    }

    std::optional<std::uint64_t> Length() override {
        struct stat st {};
        if (::fstat(fd_->Get(), &st) != 0 || st.st_size < 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(st.st_size);
    }

    std::optional<LocalTime> ModificationTime() override {
        struct stat st {};
        if (::fstat(fd_->Get(), &st) != 0) {
            return std::nullopt;
        }
        const std::time_t seconds = st.st_mtime;
        std::tm local{};
        if (::localtime_r(&seconds, &local) == nullptr) {
            return std::nullopt;
        }
        return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
    }

    bool Flush() override {
        while (::fsync(fd_->Get()) != 0) {
            if (errno != EINTR) {
                return false;
            }
        }
        return true;
    }

  private:
    // Keeps counts within what the result type can report.
    static std::size_t Clamp(std::size_t count) {
        constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<long>::max());
        return count > kMax ? kMax : count;
    }

    std::unique_ptr<UniqueFd> fd_;
};

bool LockHeldElsewhere(int error) {
    return error == EWOULDBLOCK || error == EINTR;
}

bool FollowsLinks(OpenMode mode) {
    return mode == OpenMode::ReadExisting;
}

int OpenFlags(OpenMode mode) {
    // Non-blocking so that a FIFO or a device named by mistake cannot hang
    // the open; O_NOCTTY so a terminal never becomes ours.
    const int common = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    switch (mode) {
        case OpenMode::ReadExisting:
            return O_RDONLY | common;
        case OpenMode::ReadWriteExisting:
            return O_RDWR | O_NOFOLLOW | common;
        case OpenMode::CreateTruncateReadWrite:
            // No O_TRUNC: the file is emptied only once it is locked.
            return O_RDWR | O_CREAT | O_NOFOLLOW | common;
    }
    return O_RDONLY | common;
}

}  // namespace

std::unique_ptr<IFile> PosixFileSystem::Open(const std::string& path, OpenMode mode) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return nullptr;
    }

    // Refuse what is plainly not a regular file before opening it: opening
    // some devices has effects of its own. The check after the open decides.
    struct stat before {};
    const int statResult =
        FollowsLinks(mode) ? ::stat(path.c_str(), &before) : ::lstat(path.c_str(), &before);
    if (statResult == 0 && !S_ISREG(before.st_mode)) {
        return nullptr;
    }
    if (statResult != 0 && mode != OpenMode::CreateTruncateReadWrite) {
        return nullptr;
    }

    auto fd = std::make_unique<UniqueFd>(::open(path.c_str(), OpenFlags(mode), 0600));
    if (!fd->Valid()) {
        return nullptr;
    }

    struct stat st {};
    if (::fstat(fd->Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return nullptr;
    }
    if (mode == OpenMode::CreateTruncateReadWrite &&
        (st.st_uid != ::geteuid() || st.st_nlink != 1)) {
        // Someone else's file, or one with another name elsewhere (a planted
        // hard link): emptying it would destroy data that is not ours.
        return nullptr;
    }

    // Held by someone else: refuse. A file system without locks (NFS refuses
    // an exclusive lock on a read-only descriptor) gets an ordinary open.
    if (::flock(fd->Get(), LOCK_EX | LOCK_NB) != 0 && LockHeldElsewhere(errno)) {
        return nullptr;
    }

    const int flags = ::fcntl(fd->Get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd->Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return nullptr;
    }

    if (mode == OpenMode::CreateTruncateReadWrite && ::ftruncate(fd->Get(), 0) != 0) {
        return nullptr;
    }
    return std::make_unique<PosixFile>(std::move(fd));
}

bool PosixFileSystem::RemoveFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return false;
    }
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISREG(link.st_mode)) {
        return false;
    }

    // Take the file's lock first, so a file another process is using stays.
    const UniqueFd fd(
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid() || (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && LockHeldElsewhere(errno))) {
        return false;
    }
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0 || opened.st_dev != link.st_dev ||
        opened.st_ino != link.st_ino) {
        return false;
    }
    // unlink removes the name itself and never follows a link.
    return ::unlink(path.c_str()) == 0;
}

}  // namespace vorenta
