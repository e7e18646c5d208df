#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorenta {

// The running program's own file, from /proc/self/exe; empty when unknown.
std::string ExecutablePath();
// $TMPDIR when set and not empty, else /tmp; always ends in '/'.
std::string TemporaryFolder();
// The rule behind it, for a $TMPDIR that is unset (nothing) or set.
std::string TempDirFromEnvironment(std::optional<std::string_view> tmpdir);
bool StandardErrorIsTerminal();

}  // namespace vorenta
