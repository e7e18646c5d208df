#include "platform/posix/StateFolder.h"

#include <cstdlib>
#include <string>

#include "platform/posix/ConfigFolder.h"

namespace vorenta {

namespace {
constexpr std::string_view kLogsFolderName = "logs";
}

std::filesystem::path UserStateFolder(std::string_view company) {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else {
        const std::filesystem::path home = HomeFolder();
        if (home.empty()) {
            return {};
        }
        base = home / ".local" / "state";
    }
    return base / std::string(company);
}

std::filesystem::path SessionLogFolderPath(std::string_view company) {
    const std::filesystem::path state = UserStateFolder(company);
    return state.empty() ? state : state / std::string(kLogsFolderName);
}

}  // namespace vorenta
