#pragma once

#include <filesystem>
#include <string_view>

namespace vorenta {

// $HOME when it is absolute, else the password database's home folder; empty
// when neither names one.
std::filesystem::path HomeFolder();

// The per-user folder of the company's settings:
// ${XDG_CONFIG_HOME:-$HOME/.config}/<company>. An XDG_CONFIG_HOME that is empty
// or relative is ignored, as the XDG rules say. Empty when neither the
// environment nor the password database names a home folder.
std::filesystem::path UserConfigFolder(std::string_view company);

// Creates `folder` and any missing parents with mode 0700 (already existing
// folders keep their mode). False when it still is not a folder afterwards.
bool CreatePrivateFolder(const std::filesystem::path& folder);

}  // namespace vorenta
