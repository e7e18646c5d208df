#pragma once

#include <memory>
#include <optional>

#include "platform/PortTable.h"
#include "platform/win32/ComPortAdapters.h"
#include "platform/win32/RegistryKeyPath.h"

namespace vorenta {

struct SetupApi;

// The serial ports Windows lists as installed: the values of
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, whose data are port names
// such as "COM3". Every COM number is reached as "\\.\COMn". What stands
// behind a port (name, maker, USB ids, serial number, driver) comes from
// SetupAPI.
class Win32PortTable : public IPortTable {
  public:
    static constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

    // `key` and `setupApi` stand in for the system's list and devices in
    // tests; `setupApi` must outlive the table.
    explicit Win32PortTable(RegistryKeyPath key = {RegistryHive::LocalMachine, kSerialCommKey});
    Win32PortTable(RegistryKeyPath key, const SetupApi& setupApi);
    ~Win32PortTable() override;
    Win32PortTable(const Win32PortTable&) = delete;
    Win32PortTable& operator=(const Win32PortTable&) = delete;

    // Every value the key holds, in the registry's order, each with the device
    // name of its data. False when the key cannot be opened.
    bool ListPorts(std::vector<InstalledPort>& ports) override;
    std::string DevicePathFor(int comNumber) override;
    // The adapter's name and ids, its maker and driver service, and its
    // device instance id, one a line; as of the last ListPorts.
    std::string DescribeDevice(const std::string& devicePath) override;
    // Tries the port once more to see why: not installed (with the ports that
    // are), held by another program, its adapter gone, or the system's words;
    // then the adapter that has (or had) that name.
    std::string DescribeOpenFailure(int comNumber, const std::string& devicePath) override;

  private:
    const std::vector<ComPortAdapter>& Adapters();

    RegistryKeyPath key_;
    std::unique_ptr<SetupApi> ownSetupApi_;
    const SetupApi& setupApi_;
    // Read when first asked after a listing: SetupAPI is slow on a busy PC.
    std::optional<std::vector<ComPortAdapter>> adapters_;
};

}  // namespace vorenta
