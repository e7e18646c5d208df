#include "platform/posix/ReplaceFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/UniqueFd.h"

namespace vorenta {

namespace {

constexpr std::string_view kTempSuffix = ".XXXXXX";

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view contents,
                           std::string& error) {
    std::string tempName = path.string() + std::string(kTempSuffix);
    int failure = 0;
    {
        UniqueFd fd(::mkostemp(tempName.data(), O_CLOEXEC));
        if (!fd.Valid()) {
            error = path.parent_path().string() + ": " + std::strerror(errno);
            return false;
        }
        if (!WriteAll(fd.Get(), contents) || ::fsync(fd.Get()) != 0) {
            failure = errno;
        }
        // A failed close can lose what was written (NFS reports late).
        if (::close(fd.Release()) != 0 && failure == 0) {
            failure = errno;
        }
    }
    if (failure == 0 && ::rename(tempName.c_str(), path.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(tempName.c_str());
        error = path.string() + ": " + std::strerror(failure);
        return false;
    }
    // Make the rename itself durable; the data is already safe if this fails.
    const UniqueFd folder(::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) {
        ::fsync(folder.Get());
    }
    return true;
}

}  // namespace vorenta
