#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace vorenta {

// Settings in an INI file, <base>/<company>/<application>.ini, where <base> is
// the system's per-user settings folder. Each write rewrites the whole file
// through a temporary file and a rename, so a reader sees the old file or the
// new one, never a part of it.
class IniSettingsStore : public ISettingsStore {
  public:
    // An empty `baseFolder` (no home folder known): nothing is stored, every
    // read gives the default.
    IniSettingsStore(std::string_view company, std::string_view application,
                     const std::filesystem::path& baseFolder);

    // A missing, unreadable or damaged file, or a value that is not a whole
    // integer, gives `defaultValue`.
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) override;
    // Keeps every other section and entry of the file. False (and the old file
    // untouched) when the new file could not be written completely.
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value) override;

    const std::filesystem::path& FilePath() const { return filePath_; }

  private:
    std::filesystem::path filePath_;
};

}  // namespace vorenta
