#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorenta {

// The folder of the executable, read from the process's command line: a path
// in double quotes ends at the next quote (none: empty), an unquoted one at
// the first blank. The result keeps its trailing separator; a path without a
// separator gives the empty folder (files are then found in the current one).
std::string ProgramDirFromCommandLine(std::string_view commandLine, char separator);

// The command line a POSIX process would have been started with: its real
// executable path in double quotes.
std::string CommandLineForExecutable(std::string_view executablePath);

// The application's name: the executable's base name without its extension.
std::string ApplicationNameFromPath(std::string_view executablePath, char separator);

// Like atoi: leading white space, an optional sign, decimal digits up to the
// first other character, 0 without digits. Values beyond int are clamped
// instead of overflowing.
int AtoiPrefix(std::string_view text);

// The one switch of the utility: /Cn or -Cn with n from 1 to 100 preselects
// COM n. Anything else is ignored without a message; the last valid switch wins.
class CCommandLine {
  public:
    explicit CCommandLine(std::int8_t& preferredPort) : preferredPort_(preferredPort) {}

    // `text` is the argument without its leading slash or hyphen when
    // `isSwitch` is true.
    void ParseParam(std::string_view text, bool isSwitch, bool isLast);

    // Every argument after the executable's name, in order.
    void ParseCommandLine(const std::vector<std::string>& arguments);

  private:
    std::int8_t& preferredPort_;
};

}  // namespace vorenta
