#include "platform/win32/RegistrySettingsStore.h"

#include "platform/win32/RegistryRoot.h"
#include "platform/win32/UniqueHandle.h"

namespace vorenta {

RegistrySettingsStore::RegistrySettingsStore(std::string_view company, std::string_view application)
    : applicationKey_{RegistryHive::CurrentUser,
                      "Software\\" + std::string(company) + "\\" + std::string(application)} {}

RegistrySettingsStore::RegistrySettingsStore(RegistryKeyPath applicationKey)
    : applicationKey_(std::move(applicationKey)) {}

std::string RegistrySettingsStore::SectionKey(std::string_view section) const {
    return applicationKey_.subKey + "\\" + std::string(section);
}

int RegistrySettingsStore::GetProfileInt(std::string_view section, std::string_view entry,
                                         int defaultValue) {
    UniqueRegKey key;
    if (::RegOpenKeyExA(RootKeyOf(applicationKey_.hive), SectionKey(section).c_str(), 0,
                        KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
        return defaultValue;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const std::string name(entry);
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

bool RegistrySettingsStore::WriteProfileInt(std::string_view section, std::string_view entry,
                                            int value) {
    UniqueRegKey key;
    if (::RegCreateKeyExA(RootKeyOf(applicationKey_.hive), SectionKey(section).c_str(), 0, nullptr,
                          REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.Receive(),
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const DWORD data = static_cast<DWORD>(value);
    const std::string name(entry);
    return ::RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

}  // namespace vorenta
