#include "platform/NativeFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>
#include <string_view>
#include <utility>

#include "platform/posix/PlainName.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta {

namespace {

class PosixFile : public IFile {
  public:
    explicit PosixFile(std::unique_ptr<UniqueFd> fd) : fd_(std::move(fd)) {}

    long Read(std::uint8_t* buffer, std::size_t count) override {
        count = ReportableCount(count);
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
        count = ReportableCount(count);
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

    std::optional<FileIdentity> Identity() override {
        struct stat st {};
        if (::fstat(fd_->Get(), &st) != 0 || st.st_size < 0) {
            return std::nullopt;
        }
        constexpr std::int64_t kNsPerSecond = 1000000000;
        FileIdentity identity;
        identity.volume = static_cast<std::uint64_t>(st.st_dev);
        identity.index = static_cast<std::uint64_t>(st.st_ino);
        identity.length = static_cast<std::uint64_t>(st.st_size);
        identity.modifiedNs =
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * kNsPerSecond + st.st_mtim.tv_nsec;
        identity.changedNs =
            static_cast<std::int64_t>(st.st_ctim.tv_sec) * kNsPerSecond + st.st_ctim.tv_nsec;
        return identity;
    }

  private:
    std::unique_ptr<UniqueFd> fd_;
};

bool LockHeldElsewhere(int error) {
    return error == EWOULDBLOCK || error == EINTR;
}

int LockFor(OpenMode mode) {
    return mode == OpenMode::ReadExisting ? LOCK_SH : LOCK_EX;
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

std::unique_ptr<IFile> NativeFileSystem::Open(const std::string& path, OpenMode mode) {
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

    // Held by someone else: refuse. Readers share the file (several stations
    // send one firmware at once); a writer holds it alone. A file system
    // without locks (NFS refuses an exclusive lock on a read-only descriptor)
    // gets an ordinary open.
    if (::flock(fd->Get(), LockFor(mode) | LOCK_NB) != 0 && LockHeldElsewhere(errno)) {
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

bool NativeFileSystem::SameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) {
        return false;
    }
    if (a.st_dev == b.st_dev && a.st_ino == b.st_ino) {
        return true;
    }
    // Two device nodes of one device (a copy made with mknod elsewhere).
    const bool devices =
        (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) || (S_ISBLK(a.st_mode) && S_ISBLK(b.st_mode));
    return devices && a.st_rdev == b.st_rdev;
}

std::unique_ptr<IFile> NativeFileSystem::OpenForAppend(const std::string& path,
                                                       std::string& error) {
    if (path.find('\0') != std::string::npos) {
        error = std::strerror(EINVAL);
        return nullptr;
    }
    // Non-blocking, so a FIFO named by mistake cannot hang the open. Read too,
    // so a last line cut short can be seen; a record we may only write to is
    // still appended to.
    constexpr int kFlags = O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    auto fd = std::make_unique<UniqueFd>(::open(path.c_str(), O_RDWR | kFlags, 0644));
    if (!fd->Valid() && errno == EACCES) {
        fd = std::make_unique<UniqueFd>(::open(path.c_str(), O_WRONLY | kFlags, 0644));
    }
    if (!fd->Valid()) {
        error = errno == ELOOP ? "is a symbolic link; it is never followed"
                               : std::string(std::strerror(errno));
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd->Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "is not a regular file";
        return nullptr;
    }
    const int flags = ::fcntl(fd->Get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd->Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<PosixFile>(std::move(fd));
}

namespace {

// Session folders are named by this prefix; only such folders are ever
// taken for abandoned ones.
constexpr std::string_view kSessionFolderPrefix = "vorenta-session-";
// Made in every session folder: only a folder holding it is ever taken for an
// abandoned one, so another folder of that name is never emptied.
constexpr const char* kSessionMarker = ".vorenta-session";
constexpr int kSessionFolderAttempts = 4;

// Removes every entry of the folder but sub-folders (a session makes none),
// never following a link.
void RemoveFolderContents(int folderFd) {
    const int listFd = ::dup(folderFd);
    if (listFd < 0) {
        return;
    }
    DIR* list = ::fdopendir(listFd);
    if (list == nullptr) {
        ::close(listFd);
        return;
    }
    ::rewinddir(list);
    while (const dirent* entry = ::readdir(list)) {
        const std::string_view name(entry->d_name);
        if (!IsPlainName(name)) {
            continue;
        }
        struct stat st {};
        if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISDIR(st.st_mode)) {
            ::unlinkat(folderFd, entry->d_name, 0);
        }
    }
    ::closedir(list);
}

// Opens a session folder of this user under `parentFd` for removal or use;
// invalid when it is anything else.
std::unique_ptr<UniqueFd> OpenOwnFolder(int parentFd, const char* name) {
    struct stat named {};
    if (::fstatat(parentFd, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(named.st_mode) ||
        named.st_uid != ::geteuid() || (named.st_mode & 07777) != 0700) {
        return nullptr;
    }
    auto fd = std::make_unique<UniqueFd>(
        ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    if (!fd->Valid() || ::fstat(fd->Get(), &opened) != 0 || opened.st_dev != named.st_dev ||
        opened.st_ino != named.st_ino) {
        return nullptr;
    }
    return fd;
}

// Folders of sessions that ended without removing theirs: nobody holds their
// lock any more.
void RemoveAbandonedSessionFolders(int parentFd) {
    const int listFd = ::dup(parentFd);
    if (listFd < 0) {
        return;
    }
    DIR* list = ::fdopendir(listFd);
    if (list == nullptr) {
        ::close(listFd);
        return;
    }
    while (const dirent* entry = ::readdir(list)) {
        if (std::string_view(entry->d_name).rfind(kSessionFolderPrefix, 0) != 0) {
            continue;
        }
        const auto folder = OpenOwnFolder(parentFd, entry->d_name);
        struct stat marker {};
        if (!folder || ::flock(folder->Get(), LOCK_EX | LOCK_NB) != 0 ||
            ::fstatat(folder->Get(), kSessionMarker, &marker, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(marker.st_mode) || marker.st_uid != ::geteuid()) {
            continue;
        }
        RemoveFolderContents(folder->Get());
        ::unlinkat(parentFd, entry->d_name, AT_REMOVEDIR);
    }
    ::closedir(list);
}

class PosixSessionFolder : public ISessionFolder {
  public:
    PosixSessionFolder(std::string path, std::string name, std::unique_ptr<UniqueFd> parent,
                       std::unique_ptr<UniqueFd> folder)
        : path_(std::move(path)),
          name_(std::move(name)),
          parent_(std::move(parent)),
          folder_(std::move(folder)) {}

    ~PosixSessionFolder() override {
        RemoveFolderContents(folder_->Get());
        ::unlinkat(parent_->Get(), name_.c_str(), AT_REMOVEDIR);
    }
    PosixSessionFolder(const PosixSessionFolder&) = delete;
    PosixSessionFolder& operator=(const PosixSessionFolder&) = delete;

    const std::string& Path() const override { return path_; }

    std::unique_ptr<IFile> CreateFile(std::string_view name) override {
        if (!IsPlainName(name)) {
            return nullptr;
        }
        const std::string file(name);
        ::unlinkat(folder_->Get(), file.c_str(), 0);
        auto fd = std::make_unique<UniqueFd>(
            ::openat(folder_->Get(), file.c_str(),
                     O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
        if (!fd->Valid() || ::flock(fd->Get(), LOCK_EX | LOCK_NB) != 0) {
            return nullptr;
        }
        return std::make_unique<PosixFile>(std::move(fd));
    }

  private:
    std::string path_;  // with its trailing '/'
    std::string name_;  // within the parent
    std::unique_ptr<UniqueFd> parent_;
    std::unique_ptr<UniqueFd> folder_;  // holds the lock
};

}  // namespace

std::unique_ptr<ISessionFolder> NativeFileSystem::MakeSessionFolder(const std::string& parent,
                                                                    std::string& why) {
    if (parent.empty() || parent.find('\0') != std::string::npos) {
        why = "no folder is named";
        return nullptr;
    }
    // A relative folder would depend on where the program was started.
    if (parent.front() != '/') {
        why = "it is not an absolute path";
        return nullptr;
    }
    std::string base = parent;
    if (base.back() != '/') {
        base += '/';
    }
    auto parentFd =
        std::make_unique<UniqueFd>(::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parentFd->Valid()) {
        why = std::strerror(errno);
        return nullptr;
    }
    RemoveAbandonedSessionFolders(parentFd->Get());

    for (int attempt = 0; attempt < kSessionFolderAttempts; ++attempt) {
        std::string path = base + std::string(kSessionFolderPrefix) + "XXXXXX";
        if (::mkdtemp(path.data()) == nullptr) {
            why = std::strerror(errno);
            return nullptr;
        }
        const std::string name = path.substr(base.size());
        auto folder = OpenOwnFolder(parentFd->Get(), name.c_str());
        struct stat st {};
        // Another session may have taken the new folder for an abandoned one
        // before it was locked: then it is gone (or going), and a new one is made.
        if (folder && ::flock(folder->Get(), LOCK_EX | LOCK_NB) == 0 &&
            ::fstat(folder->Get(), &st) == 0 && st.st_nlink != 0) {
            // Without its mark the folder is only left behind should the
            // session be killed; the session itself goes on.
            const UniqueFd marker(::openat(folder->Get(), kSessionMarker,
                                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                           0600));
            return std::make_unique<PosixSessionFolder>(path + '/', name, std::move(parentFd),
                                                        std::move(folder));
        }
    }
    why = "no folder of its own could be made and held there";
    return nullptr;
}

}  // namespace vorenta
