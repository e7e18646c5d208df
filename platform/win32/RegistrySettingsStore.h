#pragma once

#include <string>
#include <string_view>

#include "platform/SettingsStore.h"
#include "platform/win32/RegistryKeyPath.h"

namespace vorenta {

// Per-user settings in the registry: each section is a key
// HKEY_CURRENT_USER\Software\<company>\<application>\<section>, each entry a
// DWORD value in it. The registry writes a value whole, so a reader never sees
// part of one.
class RegistrySettingsStore : public ISettingsStore {
  public:
    RegistrySettingsStore(std::string_view company, std::string_view application);
    // `applicationKey` stands in for Software\<company>\<application> in tests.
    explicit RegistrySettingsStore(RegistryKeyPath applicationKey);

    // A missing key or value, or one that is not a DWORD, gives `defaultValue`.
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) override;
    // Creates the keys as needed; false when the value could not be written.
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value) override;

    const RegistryKeyPath& ApplicationKey() const { return applicationKey_; }

  private:
    std::string SectionKey(std::string_view section) const;

    RegistryKeyPath applicationKey_;
};

}  // namespace vorenta
