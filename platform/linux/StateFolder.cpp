#include "platform/linux/StateFolder.h"

#include <string>

#include "platform/LogFolder.h"
#include "platform/linux/ConfigFolder.h"

namespace vorenta {

namespace {
constexpr std::string_view kLogsFolderName = "logs";
}

std::filesystem::path UserStateFolder(std::string_view company) {
    const std::filesystem::path base =
        XdgBaseFolder("XDG_STATE_HOME", std::filesystem::path(".local") / "state");
    return base.empty() ? base : base / std::string(company);
}

std::string SessionLogFolderPath(std::string_view company) {
    const std::filesystem::path state = UserStateFolder(company);
    return state.empty() ? std::string() : (state / std::string(kLogsFolderName)).string();
}

}  // namespace vorenta
