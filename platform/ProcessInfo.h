#pragma once

#include <string>

namespace vorenta {

// The running program's own file, from /proc/self/exe; empty when unknown.
std::string ExecutablePath();
// $TMPDIR when set and not empty, else /tmp; always ends in '/'.
std::string TemporaryFolder();
bool StandardErrorIsTerminal();

}  // namespace vorenta
