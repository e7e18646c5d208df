#include "platform/ProcessInfo.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/posix/Folders.h"

namespace vorenta {

std::string TemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return TempDirFromEnvironment(tmp != nullptr ? std::optional<std::string_view>(tmp)
                                                 : std::nullopt);
}

bool StandardErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace vorenta
