#pragma once

#include <string_view>

namespace vorenta {

// Opens a mailto: or http:// target with the desktop's opener, never a shell.
class ILinkOpener {
  public:
    virtual ~ILinkOpener() = default;
    virtual bool OpenLink(std::string_view target) = 0;
};

}  // namespace vorenta
