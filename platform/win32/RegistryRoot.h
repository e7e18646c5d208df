#pragma once

#include "platform/win32/RegistryKeyPath.h"
#include "platform/win32/WinApi.h"

namespace vorenta {

inline HKEY RootKeyOf(RegistryHive hive) {
    return hive == RegistryHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace vorenta
