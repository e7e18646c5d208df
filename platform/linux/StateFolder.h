#pragma once

#include <filesystem>
#include <string_view>

namespace vorenta {

// The per-user folder of the company's state (logs):
// ${XDG_STATE_HOME:-$HOME/.local/state}/<company>. An XDG_STATE_HOME that is
// empty or relative is ignored, as the XDG rules say. Empty when no home
// folder is known.
std::filesystem::path UserStateFolder(std::string_view company);

}  // namespace vorenta
