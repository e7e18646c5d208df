#include "platform/win32/Win32PortTable.h"

#include <array>

#include "platform/win32/RegistryRoot.h"
#include "platform/win32/UniqueHandle.h"

namespace vorenta {

namespace {

// The sizes the port list has always been read with: a value whose name or
// data does not fit ends the list, as any other error does.
constexpr DWORD kValueNameChars = 501;
constexpr DWORD kValueDataBytes = 51;

}  // namespace

Win32PortTable::Win32PortTable(RegistryKeyPath key) : key_(std::move(key)) {}

bool Win32PortTable::ListPorts(std::vector<InstalledPort>& ports) {
    ports.clear();
    UniqueRegKey key;
    if (::RegOpenKeyExA(RootKeyOf(key_.hive), key_.subKey.c_str(), 0, KEY_QUERY_VALUE,
                        key.Receive()) != ERROR_SUCCESS) {
        return false;
    }
    for (DWORD index = 0;; ++index) {
        std::array<char, kValueNameChars> name{};
        std::array<BYTE, kValueDataBytes + 1> data{};  // one more for a terminator
        DWORD nameChars = kValueNameChars;
        DWORD dataBytes = kValueDataBytes;
        DWORD type = 0;
        if (::RegEnumValueA(key.Get(), index, name.data(), &nameChars, nullptr, &type, data.data(),
                            &dataBytes) != ERROR_SUCCESS) {
            break;
        }
        std::string portName(reinterpret_cast<const char*>(data.data()), dataBytes);
        // REG_SZ data usually carry their terminator; the name ends before it.
        portName.resize(portName.find('\0') == std::string::npos ? portName.size()
                                                                 : portName.find('\0'));
        ports.push_back(InstalledPort{portName, "\\\\.\\" + portName});
    }
    return true;
}

std::string Win32PortTable::DevicePathFor(int comNumber) {
    // "\\.\" reaches COM10 and above too; whether the port exists is the open's affair.
    if (comNumber < 1) {
        return {};
    }
    return "\\\\.\\COM" + std::to_string(comNumber);
}

}  // namespace vorenta
