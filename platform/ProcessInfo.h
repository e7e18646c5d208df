#pragma once

#include <string>

namespace vorenta {

// The running program's own file (/proc/self/exe, GetModuleFileNameA); empty
// when unknown.
std::string ExecutablePath();
// The temporary-files folder, always with its trailing separator: $TMPDIR when
// set and not empty, else /tmp/; on Windows the long form of GetTempPath, "C:\"
// when that cannot be had.
std::string TemporaryFolder();
bool StandardErrorIsTerminal();

#ifdef _WIN32
// The process's command line exactly as it was started (GetCommandLineA).
// POSIX hands a program its arguments, never one line.
std::string ProcessCommandLine();
#endif

}  // namespace vorenta
