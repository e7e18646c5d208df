#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/RegistryKeyPath.h"
#include "platform/win32/WinApi.h"

namespace vorenta::test {

// A key under HKEY_CURRENT_USER\Software named for this process, removed at the end.
class ScratchKey {
  public:
    ScratchKey() : path_("Software\\VorentaTest-" + std::to_string(::GetCurrentProcessId())) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ~ScratchKey() { ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    RegistryKeyPath Path(const std::string& below = {}) const {
        return {RegistryHive::CurrentUser, below.empty() ? path_ : path_ + "\\" + below};
    }

    void SetString(const std::string& below, const std::string& name, const std::string& data,
                   DWORD type = REG_SZ) {
        HKEY key = nullptr;
        const std::string path = path_ + "\\" + below;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                         static_cast<DWORD>(data.size() + 1));
        ::RegCloseKey(key);
    }

  private:
    std::string path_;
};

}  // namespace vorenta::test
