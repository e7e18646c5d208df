#pragma once

#include <string>

namespace vorenta {

// A registry key named without <windows.h>: the hive and the path below it.
enum class RegistryHive { LocalMachine, CurrentUser };

struct RegistryKeyPath {
    RegistryHive hive = RegistryHive::CurrentUser;
    std::string subKey;
};

}  // namespace vorenta
