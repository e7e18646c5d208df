#pragma once

#include <string>

namespace vorenta {

// The running program's own file (GetModuleFileNameA); empty when unknown.
std::string ExecutablePath();
// The process's command line exactly as it was started (GetCommandLineA).
std::string ProcessCommandLine();
// The temporary-files folder in its long form, with its trailing backslash;
// "C:\" when the long form cannot be had.
std::string TemporaryFolder();
bool StandardErrorIsTerminal();

}  // namespace vorenta
