#include "platform/posix/ProcessInfo.h"

#include <unistd.h>

#include <array>
#include <cstdlib>

namespace vorenta {

std::string ExecutablePath() {
    std::array<char, 4096> buffer{};
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) {
        return {};
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

std::string TempDirFromEnvironment(std::optional<std::string_view> tmpdir) {
    if (!tmpdir || tmpdir->empty()) {
        return "/tmp/";
    }
    std::string dir(*tmpdir);
    if (dir.back() != '/') {
        dir.push_back('/');
    }
    return dir;
}

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return TempDirFromEnvironment(tmp != nullptr ? std::optional<std::string_view>(tmp)
                                                 : std::nullopt);
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace vorenta
