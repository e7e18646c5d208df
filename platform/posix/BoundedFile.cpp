#include "platform/posix/BoundedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/UniqueFd.h"

namespace vorenta {

namespace {
// sysfs and /proc attributes are one short line; names and ids fit well within.
constexpr std::size_t kMaxAttributeBytes = 4096;
}  // namespace

BoundedRead ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                            std::string& contents) {
    contents.clear();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) {
        return errno == ENOENT || errno == ENOTDIR ? BoundedRead::Missing : BoundedRead::Unreadable;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) {
        return BoundedRead::Unreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        return BoundedRead::NotRegular;
    }
    // The size is checked on what is read, not on st_size: /proc and sysfs
    // files report 0 or 4096 whatever they hold, and a file may grow meanwhile.
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            contents.clear();
            return BoundedRead::Unreadable;
        }
        if (n == 0) {
            return BoundedRead::Read;
        }
        if (contents.size() + static_cast<std::size_t>(n) > maxBytes) {
            contents.clear();
            return BoundedRead::TooLarge;
        }
        contents.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string ReadAttribute(const std::filesystem::path& path) {
    std::string text;
    if (ReadRegularFile(path, kMaxAttributeBytes, text) != BoundedRead::Read) {
        return {};
    }
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) {
        text.resize(end);
    }
    return text;
}

}  // namespace vorenta
