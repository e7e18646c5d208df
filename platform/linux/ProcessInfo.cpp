#include "platform/ProcessInfo.h"

#include <unistd.h>

#include <array>

namespace vorenta {

std::string ExecutablePath() {
    std::array<char, 4096> buffer{};
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) {
        return {};
    }
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace vorenta
