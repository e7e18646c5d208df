#pragma once

#include <string_view>

namespace vorenta {

// The per-user settings store, named after the company and the application.
class ISettingsStore {
  public:
    virtual ~ISettingsStore() = default;
    virtual int GetProfileInt(std::string_view section, std::string_view entry,
                              int defaultValue) = 0;
    virtual bool WriteProfileInt(std::string_view section, std::string_view entry, int value) = 0;
};

}  // namespace vorenta
