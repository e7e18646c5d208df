#include "platform/posix/PosixLogFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/posix/Folders.h"
#include "platform/posix/PlainName.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta {

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

std::string Reason(int error) {
    return std::generic_category().message(error);
}

class FdLogWriter : public ILogWriter {
  public:
    explicit FdLogWriter(int fd) : fd_(fd) {}

    bool Write(std::string_view text) override {
        while (!text.empty()) {
            const ssize_t n = ::write(fd_.Get(), text.data(), text.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            text.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

  private:
    UniqueFd fd_;
};

}  // namespace

int PosixLogFolder::OpenFolder(std::string& error) const {
    UniqueFd dir(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir.Valid()) {
        error = folder_.string() + ": " +
                (errno == ELOOP || errno == ENOTDIR ? std::string("not a folder (or a link)")
                                                    : Reason(errno));
        return -1;
    }
    struct stat info {};
    if (::fstat(dir.Get(), &info) != 0 || info.st_uid != ::geteuid()) {
        error = folder_.string() + ": the folder belongs to another user";
        return -1;
    }
    if ((info.st_mode & 07777) != kFolderMode && ::fchmod(dir.Get(), kFolderMode) != 0) {
        error = folder_.string() + ": cannot make the folder private: " + Reason(errno);
        return -1;
    }
    return dir.Release();
}

std::unique_ptr<ILogWriter> PosixLogFolder::Create(const std::string& name, std::string& error) {
    if (folder_.empty()) {
        error = "no home folder is known";
        return nullptr;
    }
    if (!IsPlainName(name)) {
        error = "not a file name: " + name;
        return nullptr;
    }
    if (!CreatePrivateFolder(folder_)) {
        error = folder_.string() + ": cannot create the folder: " + Reason(errno);
        return nullptr;
    }
    const UniqueFd dir(OpenFolder(error));
    if (!dir.Valid()) {
        return nullptr;
    }
    UniqueFd file(::openat(dir.Get(), name.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode));
    if (!file.Valid()) {
        error = (folder_ / name).string() + ": " + Reason(errno);
        return nullptr;
    }
    // The mask may have taken the owner's bits; the mode is set whatever it is.
    if (::fchmod(file.Get(), kFileMode) != 0) {
        error = (folder_ / name).string() + ": " + Reason(errno);
        ::unlinkat(dir.Get(), name.c_str(), 0);
        return nullptr;
    }
    return std::make_unique<FdLogWriter>(file.Release());
}

std::vector<std::string> PosixLogFolder::List() {
    std::vector<std::string> names;
    std::string error;
    UniqueFd dir(OpenFolder(error));
    if (!dir.Valid()) {
        return names;
    }
    const int listFd = ::dup(dir.Get());
    if (listFd < 0) {
        return names;
    }
    DIR* stream = ::fdopendir(listFd);
    if (stream == nullptr) {
        ::close(listFd);
        return names;
    }
    while (const dirent* entry = ::readdir(stream)) {
        struct stat info {};
        if (::fstatat(dir.Get(), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(stream);
    return names;
}

bool PosixLogFolder::Exists(const std::string& name) {
    std::string error;
    const UniqueFd dir(OpenFolder(error));
    struct stat info {};
    return dir.Valid() && IsPlainName(name) &&
           ::fstatat(dir.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

std::string PosixLogFolder::ListProblem() {
    if (folder_.empty()) {
        return "no home folder is known";
    }
    struct stat info {};
    if (::lstat(folder_.c_str(), &info) != 0 && errno == ENOENT) {
        return {};  // made with the first log
    }
    std::string error;
    const UniqueFd dir(OpenFolder(error));
    return dir.Valid() ? std::string() : error;
}

std::string PosixLogFolder::ReadPart(const std::string& name, std::size_t maxBytes, bool tail) {
    std::string error;
    const UniqueFd dir(OpenFolder(error));
    if (!dir.Valid() || !IsPlainName(name)) {
        return {};
    }
    const UniqueFd file(
        ::openat(dir.Get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.Valid() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    const std::size_t count = size < maxBytes ? size : maxBytes;
    std::string part(count, '\0');
    const ssize_t n =
        ::pread(file.Get(), part.data(), count, static_cast<off_t>(tail ? size - count : 0));
    part.resize(n > 0 ? static_cast<std::size_t>(n) : 0U);
    return part;
}

bool PosixLogFolder::Remove(const std::string& name) {
    std::string error;
    const UniqueFd dir(OpenFolder(error));
    struct stat info {};
    if (!dir.Valid() || !IsPlainName(name) ||
        ::fstatat(dir.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        return false;
    }
    return ::unlinkat(dir.Get(), name.c_str(), 0) == 0;
}

}  // namespace vorenta
