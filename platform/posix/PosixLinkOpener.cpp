#include "platform/posix/PosixLinkOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <utility>

extern char** environ;

namespace vorenta {

PosixLinkOpener::PosixLinkOpener(std::string opener) : opener_(std::move(opener)) {}

PosixLinkOpener::~PosixLinkOpener() {
    ReapFinished();
}

bool PosixLinkOpener::OpenLink(std::string_view target) {
    ReapFinished();
    // A target starting with '-' would read as an option of the opener.
    if (target.empty() || target.front() == '-') {
        return false;
    }
    std::string program = opener_;
    std::string argument(target);
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    running_.push_back(pid);
    return true;
}

void PosixLinkOpener::ReapFinished() {
    std::erase_if(running_, [](pid_t pid) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        return r == pid || r < 0;
    });
}

}  // namespace vorenta
