#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorenta {

// $HOME when it is absolute, else the password database's home folder; empty
// when neither names one.
std::filesystem::path HomeFolder();

// The temporary-files folder from $TMPDIR, "/tmp/" when it is unset or empty;
// always with a trailing '/'.
std::string TempDirFromEnvironment(std::optional<std::string_view> tmpdir);

// Creates `folder` and any missing parents with mode 0700 (already existing
// folders keep their mode). False when it still is not a folder afterwards.
bool CreatePrivateFolder(const std::filesystem::path& folder);

}  // namespace vorenta
