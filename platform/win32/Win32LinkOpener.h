#pragma once

#include "platform/LinkOpener.h"

namespace vorenta {

// Hands mailto: and http:// targets to the shell's "open" verb (ShellExecuteA),
// which starts the user's mail program or browser; no command interpreter sees
// the target.
class Win32LinkOpener : public ILinkOpener {
  public:
    bool OpenLink(std::string_view target) override;
};

}  // namespace vorenta
