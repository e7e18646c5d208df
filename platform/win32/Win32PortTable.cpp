#include "platform/win32/Win32PortTable.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/win32/RegistryRoot.h"
#include "platform/win32/SetupApi.h"
#include "platform/win32/SystemErrorText.h"
#include "platform/win32/UniqueHandle.h"

namespace vorenta {

namespace {

// The sizes the port list has always been read with: a value whose name or
// data does not fit ends the list, as any other error does.
constexpr DWORD kValueNameChars = 501;
constexpr DWORD kValueDataBytes = 51;

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

constexpr std::string_view kDeviceNamespace = "\\\\.\\";

// "COM5" from "\\.\COM5".
std::string PortNameOf(const std::string& devicePath) {
    return devicePath.rfind(kDeviceNamespace, 0) == 0 ? devicePath.substr(kDeviceNamespace.size())
                                                      : devicePath;
}

// The adapter in one line, after the reason an open failed.
std::string AdapterAfterReason(const std::string& name, const ComPortAdapter& adapter) {
    std::string described = adapter.Describe();
    for (std::size_t at = described.find('\n'); at != std::string::npos;
         at = described.find('\n', at)) {
        described.replace(at, 1, "; ");
    }
    return "\n" + name + (adapter.present ? " is " : " was ") + described + ".";
}

}  // namespace

Win32PortTable::Win32PortTable(RegistryKeyPath key)
    : key_(std::move(key)), ownSetupApi_(std::make_unique<SetupApi>()), setupApi_(*ownSetupApi_) {}

Win32PortTable::Win32PortTable(RegistryKeyPath key, const SetupApi& setupApi)
    : key_(std::move(key)), setupApi_(setupApi) {}

Win32PortTable::~Win32PortTable() = default;

const std::vector<ComPortAdapter>& Win32PortTable::Adapters() {
    if (!adapters_) {
        adapters_ = ReadComPortAdapters(setupApi_);
    }
    return *adapters_;
}

std::string Win32PortTable::DescribeDevice(const std::string& devicePath) {
    const ComPortAdapter* adapter = FindComPortAdapter(Adapters(), PortNameOf(devicePath));
    return adapter != nullptr ? adapter->Describe() : std::string();
}

bool Win32PortTable::ListPorts(std::vector<InstalledPort>& ports) {
    ports.clear();
    adapters_.reset();  // a new listing: the adapters are read again when asked
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

std::string Win32PortTable::DescribeOpenFailure(int comNumber, const std::string& devicePath) {
    const std::string name = "COM" + std::to_string(comNumber);
    std::vector<InstalledPort> ports;
    const bool listed = ListPorts(ports);
    const ComPortAdapter* adapter = FindComPortAdapter(Adapters(), name);
    const std::string adapterLine = adapter != nullptr ? AdapterAfterReason(name, *adapter) : "";
    if (listed && std::none_of(ports.begin(), ports.end(),
                               [&name](const auto& port) { return SameName(port.name, name); })) {
        std::string installed;
        for (const InstalledPort& port : ports) {
            installed += (installed.empty() ? "" : ", ") + port.name;
        }
        return name + " is not among the serial ports installed on this computer" +
               (installed.empty() ? std::string(" (there are none)") : " (" + installed + ")") +
               ". A USB adapter gets its number when it is plugged in; the Device Manager "
               "shows it under Ports (COM & LPT)." +
               adapterLine;
    }
    if (devicePath.empty()) {
        return adapterLine.empty() ? std::string() : adapterLine.substr(1);
    }
    // The same open as the port's own: for exclusive use.
    const UniqueHandle probe(::CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    if (probe.Valid()) {
        return name + " opens now: whatever held it has let it go. Try again." + adapterLine;
    }
    const DWORD error = ::GetLastError();
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return name +
                   " is in use by another program (a terminal program, a modem's software or "
                   "another update). Close that program and try again." +
                   adapterLine;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return "The adapter behind " + name +
                   " is not connected (any more). Connect it and try again." + adapterLine;
        default:
            return name + ": " + SystemErrorText(error) + "." + adapterLine;
    }
}

}  // namespace vorenta
