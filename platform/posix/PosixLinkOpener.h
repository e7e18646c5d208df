#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/LinkOpener.h"

namespace vorenta {

// Hands mailto: and http:// targets to an opener program as a separate
// process: the target is one argument, never seen by a shell, and the opener
// is not waited for.
class PosixLinkOpener : public ILinkOpener {
  public:
    // `opener` is found on $PATH unless it names a file.
    explicit PosixLinkOpener(std::string opener);
    ~PosixLinkOpener() override;
    PosixLinkOpener(const PosixLinkOpener&) = delete;
    PosixLinkOpener& operator=(const PosixLinkOpener&) = delete;

    // True when the opener was started; what it does then is its own affair.
    bool OpenLink(std::string_view target) override;

  private:
    // Collects openers that have finished, so none is left as a zombie.
    void ReapFinished();

    std::string opener_;
    std::vector<pid_t> running_;
};

}  // namespace vorenta
