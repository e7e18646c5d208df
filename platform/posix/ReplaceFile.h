#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vorenta {

// Writes `contents` to `path` through a temporary file beside it, flushed to
// disk before it takes the old file's place, so a reader sees the old file or
// the new one, never a part. The new file has mode 0600. On failure `error`
// says why and the old file is untouched.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view contents,
                           std::string& error);

}  // namespace vorenta
