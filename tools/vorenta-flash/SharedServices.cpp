#include "SharedServices.h"

namespace vorenta {

bool LockedPortTable::ListPorts(std::vector<InstalledPort>& ports) {
    const std::lock_guard lock(mutex_);
    return inner_.ListPorts(ports);
}

std::string LockedPortTable::DevicePathFor(int comNumber) {
    const std::lock_guard lock(mutex_);
    return inner_.DevicePathFor(comNumber);
}

std::string LockedPortTable::DescribeDevice(const std::string& devicePath) {
    const std::lock_guard lock(mutex_);
    return inner_.DescribeDevice(devicePath);
}

bool LockedPortTable::DevicePresent(const std::string& devicePath) {
    const std::lock_guard lock(mutex_);
    return inner_.DevicePresent(devicePath);
}

std::string LockedPortTable::DescribeOpenFailure(int comNumber, const std::string& devicePath) {
    const std::lock_guard lock(mutex_);
    return inner_.DescribeOpenFailure(comNumber, devicePath);
}

int LockedSettingsStore::GetProfileInt(std::string_view section, std::string_view entry,
                                       int defaultValue) {
    const std::lock_guard lock(mutex_);
    return inner_.GetProfileInt(section, entry, defaultValue);
}

bool LockedSettingsStore::WriteProfileInt(std::string_view section, std::string_view entry,
                                          int value) {
    const std::lock_guard lock(mutex_);
    return inner_.WriteProfileInt(section, entry, value);
}

std::vector<PeerWindow> LockedPeerWindows::TopLevelWindows() {
    const std::lock_guard lock(mutex_);
    return inner_.TopLevelWindows();
}

bool LockedPeerWindows::PostMessage(std::uint64_t handle, std::uint32_t message,
                                    std::uint32_t wParam, std::int32_t lParam) {
    const std::lock_guard lock(mutex_);
    return inner_.PostMessage(handle, message, wParam, lParam);
}

}  // namespace vorenta
