#pragma once

#include "platform/PortTable.h"
#include "platform/win32/RegistryKeyPath.h"

namespace vorenta {

// The serial ports Windows lists as installed: the values of
// HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, whose data are port names
// such as "COM3". Every COM number is reached as "\\.\COMn".
class Win32PortTable : public IPortTable {
  public:
    static constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

    // `key` stands in for the system's list in tests.
    explicit Win32PortTable(RegistryKeyPath key = {RegistryHive::LocalMachine, kSerialCommKey});

    // Every value the key holds, in the registry's order, each with the device
    // name of its data. False when the key cannot be opened.
    bool ListPorts(std::vector<InstalledPort>& ports) override;
    std::string DevicePathFor(int comNumber) override;
    // Tries the port once more to see why: not installed (with the ports that
    // are), held by another program, its adapter gone, or the system's words.
    std::string DescribeOpenFailure(int comNumber, const std::string& devicePath) override;

  private:
    RegistryKeyPath key_;
};

}  // namespace vorenta
