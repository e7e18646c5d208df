#include "platform/win32/ComPortAdapters.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string_view>

#include "platform/JoinedText.h"
#include "platform/win32/SetupApi.h"

namespace vorenta {

namespace {

// The Ports (COM & LPT) device class and the COM port device interface.
constexpr GUID kPortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr GUID kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
// A value longer than this is not a name anybody reads; it is left out.
constexpr DWORD kPropertyChars = 1024;
constexpr DWORD kIdChars = MAX_DEVICE_ID_LEN + 1;
// No PC has this many ports; a list that goes on is not read to its end.
constexpr DWORD kMostDevices = 4096;
constexpr std::size_t kUsbIdDigits = 4;

// In the system's code page, as every other text of the Windows programs.
std::string Narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(size, 0)), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          size, nullptr, nullptr);
    return narrow;
}

// The strings of a REG_SZ or REG_MULTI_SZ value of `bytes` bytes.
std::vector<std::string> Strings(const wchar_t* data, DWORD bytes) {
    std::vector<std::string> strings;
    const std::wstring_view all(data, bytes / sizeof(wchar_t));
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = std::min(all.find(L'\0', start), all.size());
        if (end > start) {
            strings.push_back(Narrow(all.substr(start, end - start)));
        }
        start = end + 1;
    }
    return strings;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsComName(const std::string& name) {
    const std::string upper = Upper(name);
    return upper.size() > 3 && upper.compare(0, 3, "COM") == 0 &&
           std::all_of(upper.begin() + 3, upper.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The four hex digits after "VID_" or "PID_" in an id, or empty.
std::string HexAfter(const std::string& id, std::string_view label) {
    const std::string upper = Upper(id);
    const std::size_t at = upper.find(label);
    if (at == std::string::npos || upper.size() < at + label.size() + kUsbIdDigits) {
        return {};
    }
    const std::string digits = upper.substr(at + label.size(), kUsbIdDigits);
    if (!std::all_of(digits.begin(), digits.end(),
                     [](unsigned char c) { return std::isxdigit(c) != 0; })) {
        return {};
    }
    return Lower(digits);
}

// "USB\VID_0403&PID_6001\A50285BI" gives "A50285BI"; an interface of a
// composite device (&MI_) or a made-up id (with '&') gives nothing.
std::string UsbSerialOf(const std::string& id) {
    const std::string upper = Upper(id);
    const std::size_t first = upper.find('\\');
    const std::size_t second = first == std::string::npos ? first : upper.find('\\', first + 1);
    if (upper.compare(0, first, "USB") != 0 || second == std::string::npos ||
        upper.find("VID_") > second || upper.find("&MI_") < second) {
        return {};
    }
    const std::string serial = id.substr(second + 1);
    if (serial.empty() || serial.find_first_of("&\\") != std::string::npos) {
        return {};
    }
    return serial;
}

// A device information list, destroyed at the end of the scope.
class DeviceList {
  public:
    DeviceList(const SetupApi& api, const GUID& guid, DWORD flags)
        : api_(api), list_(api.getClassDevs(&guid, nullptr, nullptr, flags)) {}
    ~DeviceList() {
        if (Valid()) {
            api_.destroyDeviceInfoList(list_);
        }
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;

    bool Valid() const { return list_ != INVALID_HANDLE_VALUE && list_ != nullptr; }
    HDEVINFO Get() const { return list_; }

  private:
    const SetupApi& api_;
    HDEVINFO list_;
};

std::vector<std::string> Property(const SetupApi& api, HDEVINFO list, SP_DEVINFO_DATA& device,
                                  DWORD property) {
    // Two more characters than the call may fill: a value is always terminated.
    std::array<wchar_t, kPropertyChars + 2> buffer{};
    DWORD type = 0;
    DWORD bytes = 0;
    if (!api.getDeviceRegistryProperty(list, &device, property, &type,
                                       reinterpret_cast<PBYTE>(buffer.data()),
                                       kPropertyChars * sizeof(wchar_t), &bytes) ||
        (type != REG_SZ && type != REG_MULTI_SZ)) {
        return {};
    }
    return Strings(buffer.data(), std::min<DWORD>(bytes, kPropertyChars * sizeof(wchar_t)));
}

std::string FirstProperty(const SetupApi& api, HDEVINFO list, SP_DEVINFO_DATA& device,
                          DWORD property) {
    const std::vector<std::string> values = Property(api, list, device, property);
    return values.empty() ? std::string() : values.front();
}

// The "PortName" value of the device's hardware key: the name it has as a port.
std::string PortName(const SetupApi& api, HDEVINFO list, SP_DEVINFO_DATA& device) {
    const HKEY key =
        api.openDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == nullptr || key == static_cast<HKEY>(INVALID_HANDLE_VALUE)) {
        return {};
    }
    std::array<wchar_t, kPropertyChars + 2> buffer{};
    DWORD type = 0;
    DWORD bytes = kPropertyChars * sizeof(wchar_t);
    const LSTATUS status = api.regQueryValueEx(key, L"PortName", nullptr, &type,
                                               reinterpret_cast<LPBYTE>(buffer.data()), &bytes);
    api.regCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return {};
    }
    const std::vector<std::string> names =
        Strings(buffer.data(), std::min<DWORD>(bytes, kPropertyChars * sizeof(wchar_t)));
    return names.empty() ? std::string() : names.front();
}

std::string InstanceId(const SetupApi& api, HDEVINFO list, SP_DEVINFO_DATA& device) {
    std::array<wchar_t, kIdChars + 1> buffer{};
    if (!api.getDeviceInstanceId(list, &device, buffer.data(), kIdChars, nullptr)) {
        return {};
    }
    return Narrow(buffer.data());
}

std::string ParentId(const SetupApi& api, DEVINST device) {
    DEVINST parent = 0;
    std::array<wchar_t, kIdChars + 1> buffer{};
    if (api.getParent(&parent, device, 0) != CR_SUCCESS ||
        api.getDeviceId(parent, buffer.data(), kIdChars, 0) != CR_SUCCESS) {
        return {};
    }
    return Narrow(buffer.data());
}

void ReadList(const SetupApi& api, const GUID& guid, DWORD flags,
              std::vector<ComPortAdapter>& adapters, std::set<std::string>& seen) {
    const DeviceList list(api, guid, flags);
    if (!list.Valid()) {
        return;
    }
    for (DWORD index = 0; index < kMostDevices; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        if (!api.enumDeviceInfo(list.Get(), index, &device)) {
            break;  // the end of the list, or a list that cannot be read on
        }
        ComPortAdapter adapter;
        adapter.instanceId = InstanceId(api, list.Get(), device);
        adapter.portName = PortName(api, list.Get(), device);
        if (!IsComName(adapter.portName) ||
            !seen.insert(Upper(adapter.instanceId) + "|" + Upper(adapter.portName)).second) {
            continue;  // a printer port, or a device the other list had
        }
        adapter.friendlyName = FirstProperty(api, list.Get(), device, SPDRP_FRIENDLYNAME);
        adapter.manufacturer = FirstProperty(api, list.Get(), device, SPDRP_MFG);
        adapter.service = FirstProperty(api, list.Get(), device, SPDRP_SERVICE);
        adapter.hardwareIds = Property(api, list.Get(), device, SPDRP_HARDWAREID);
        adapter.parentId = ParentId(api, device.DevInst);
        ULONG status = 0;
        ULONG problem = 0;
        adapter.present = api.getDevNodeStatus(&status, &problem, device.DevInst, 0) == CR_SUCCESS;
        adapters.push_back(std::move(adapter));
    }
}

}  // namespace

std::string ComPortAdapter::UsbId() const {
    std::vector<std::string> ids = hardwareIds;
    ids.push_back(instanceId);
    ids.push_back(parentId);
    for (const std::string& id : ids) {
        const std::string vendor = HexAfter(id, "VID_");
        const std::string product = HexAfter(id, "PID_");
        if (!vendor.empty() && !product.empty()) {
            return vendor + ":" + product;
        }
    }
    return {};
}

std::string ComPortAdapter::SerialNumber() const {
    const std::string own = UsbSerialOf(instanceId);
    return own.empty() ? UsbSerialOf(parentId) : own;
}

std::string ComPortAdapter::Summary() const {
    std::string name = friendlyName;
    const std::string suffix = " (" + Upper(portName) + ")";
    if (name.size() >= suffix.size() && Upper(name.substr(name.size() - suffix.size())) == suffix) {
        name.resize(name.size() - suffix.size());
    }
    std::string details;
    AppendItem(details, ", ", UsbId());
    if (const std::string serial = SerialNumber(); !serial.empty()) {
        AppendItem(details, ", ", "serial " + serial);
    }
    std::string summary = details.empty() ? name
                          : name.empty()  ? details
                                          : name + " (" + details + ")";
    if (!present && !summary.empty()) {
        summary += ", not plugged in";
    }
    return summary;
}

std::string ComPortAdapter::Describe() const {
    std::string origin;
    if (!manufacturer.empty()) {
        AppendItem(origin, ", ", "manufacturer " + manufacturer);
    }
    if (!service.empty()) {
        AppendItem(origin, ", ", "driver service " + service);
    }
    std::string text;
    AppendItem(text, "\n", Summary());
    AppendItem(text, "\n", origin);
    AppendItem(text, "\n", instanceId);
    return text;
}

std::vector<ComPortAdapter> ReadComPortAdapters(const SetupApi& api) {
    std::vector<ComPortAdapter> adapters;
    std::set<std::string> seen;
    // Unplugged devices too (no DIGCF_PRESENT): they explain a port that has gone.
    ReadList(api, kPortsClass, 0, adapters, seen);
    // Some drivers put their ports in another class (modems, phones).
    ReadList(api, kComPortInterface, DIGCF_DEVICEINTERFACE, adapters, seen);
    return adapters;
}

const ComPortAdapter* FindComPortAdapter(const std::vector<ComPortAdapter>& adapters,
                                         const std::string& portName) {
    const ComPortAdapter* found = nullptr;
    for (const ComPortAdapter& adapter : adapters) {
        if (Upper(adapter.portName) != Upper(portName)) {
            continue;
        }
        if (adapter.present) {
            return &adapter;
        }
        if (found == nullptr) {
            found = &adapter;
        }
    }
    return found;
}

}  // namespace vorenta
