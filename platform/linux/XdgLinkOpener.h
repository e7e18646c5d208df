#pragma once

#include "platform/posix/PosixLinkOpener.h"

namespace vorenta {

// Links open with the desktop's own opener, xdg-open.
class XdgLinkOpener : public PosixLinkOpener {
  public:
    XdgLinkOpener() : PosixLinkOpener("xdg-open") {}
};

}  // namespace vorenta
