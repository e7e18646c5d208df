#include "platform/linux/ConfigFolder.h"

#include <cstdlib>
#include <string>

#include "platform/posix/Folders.h"

namespace vorenta {

std::filesystem::path XdgBaseFolder(const char* variable, const std::filesystem::path& belowHome) {
    if (const char* xdg = std::getenv(variable); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const std::filesystem::path home = HomeFolder();
    return home.empty() ? home : home / belowHome;
}

std::filesystem::path UserConfigBase() {
    return XdgBaseFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path UserConfigFolder(std::string_view company) {
    const std::filesystem::path base = UserConfigBase();
    return base.empty() ? base : base / std::string(company);
}

}  // namespace vorenta
