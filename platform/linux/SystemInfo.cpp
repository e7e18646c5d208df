#include "platform/SystemInfo.h"

#include <sys/utsname.h>

#include <ctime>
#include <fstream>

namespace vorenta {

namespace {

// PRETTY_NAME of /etc/os-release, without its quotes.
std::string DistributionName() {
    std::ifstream release("/etc/os-release");
    std::string line;
    constexpr std::string_view kKey = "PRETTY_NAME=";
    while (std::getline(release, line)) {
        if (line.rfind(kKey, 0) == 0) {
            std::string value = line.substr(kKey.size());
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return {};
}

}  // namespace

std::string PlatformDescription() {
    std::string text;
    utsname names{};
    if (::uname(&names) == 0) {
        text = std::string(names.sysname) + " " + names.release + " " + names.machine;
    } else {
        text = "POSIX";
    }
    if (const std::string distribution = DistributionName(); !distribution.empty()) {
        text += " (" + distribution + ")";
    }
    return text;
}

LocalTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (::localtime_r(&now, &local) == nullptr) {
        return {};
    }
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace vorenta
