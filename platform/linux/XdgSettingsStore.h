#pragma once

#include <string_view>

#include "platform/linux/ConfigFolder.h"
#include "platform/posix/IniSettingsStore.h"

namespace vorenta {

// The INI file of the application's settings in the XDG config folder:
// ${XDG_CONFIG_HOME:-$HOME/.config}/<company>/<application>.ini.
class XdgSettingsStore : public IniSettingsStore {
  public:
    XdgSettingsStore(std::string_view company, std::string_view application)
        : IniSettingsStore(company, application, UserConfigBase()) {}
};

}  // namespace vorenta
