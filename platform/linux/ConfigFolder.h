#pragma once

#include <filesystem>
#include <string_view>

namespace vorenta {

// A per-user base folder of the XDG rules: $<variable> when it is absolute (an
// empty or relative one is ignored, as the rules say), else `belowHome` in the
// home folder. Empty when neither names a folder.
std::filesystem::path XdgBaseFolder(const char* variable, const std::filesystem::path& belowHome);

// ${XDG_CONFIG_HOME:-$HOME/.config}; empty when unknown.
std::filesystem::path UserConfigBase();

// The per-user folder of the company's settings: <UserConfigBase()>/<company>.
// Empty when no home folder is known.
std::filesystem::path UserConfigFolder(std::string_view company);

}  // namespace vorenta
