#include "ExtraPortTable.h"

#include <array>

namespace vorenta {

namespace {
constexpr int kLastWindowPort = 100;
}

ExtraPortTable::ExtraPortTable(IPortTable& installed, std::string devicePath)
    : installed_(installed),
      devicePath_(std::move(devicePath)),
      presentAtStart_(installed_.DevicePresent(devicePath_)) {
    std::vector<InstalledPort> ports;
    installed_.ListPorts(ports);
    std::array<bool, kLastWindowPort + 1> taken{};
    for (int n = 1; n <= kLastWindowPort; ++n) {
        const std::string path = installed_.DevicePathFor(n);
        if (path == devicePath_) {
            comNumber_ = n;
            return;
        }
        taken[static_cast<std::size_t>(n)] = !path.empty();
    }
    for (int n = 1; n <= kLastWindowPort; ++n) {
        if (!taken[static_cast<std::size_t>(n)]) {
            comNumber_ = n;
            return;
        }
    }
}

bool ExtraPortTable::ListPorts(std::vector<InstalledPort>& ports) {
    const bool readable = installed_.ListPorts(ports);
    if (comNumber_ == -1 || (presentAtStart_ && !installed_.DevicePresent(devicePath_))) {
        return readable;
    }
    const std::string name = "COM" + std::to_string(comNumber_);
    for (const InstalledPort& port : ports) {
        if (port.devicePath == devicePath_) {
            return true;
        }
    }
    ports.push_back({name, devicePath_});
    return true;
}

std::string ExtraPortTable::DevicePathFor(int comNumber) {
    return comNumber == comNumber_ ? devicePath_ : installed_.DevicePathFor(comNumber);
}

}  // namespace vorenta
