#pragma once

#include <string>
#include <vector>

namespace vorenta {

struct SetupApi;

// What Windows knows of the device behind one COM port name.
struct ComPortAdapter {
    std::string portName;                  // "COM5"
    std::string friendlyName;              // "USB Serial Port (COM5)"
    std::string manufacturer;              // "FTDI"
    std::string service;                   // the driver's service: "FTSER2K", "usbser", "silabser"
    std::vector<std::string> hardwareIds;  // "FTDIBUS\COMPORT&VID_0403&PID_6001", ...
    std::string instanceId;                // "FTDIBUS\VID_0403+PID_6001+A50285BIA\0000"
    std::string parentId;                  // "USB\VID_0403&PID_6001\A50285BI"
    bool present = true;                   // plugged in now

    // "0403:6001", or empty when not a USB device.
    std::string UsbId() const;
    // The USB serial number, when the device has one (Windows makes up an
    // id with '&' in it for a device without).
    std::string SerialNumber() const;
    // "USB Serial Port (0403:6001, serial A50285BI)": the name without its
    // "(COM5)", then the ids.
    std::string Summary() const;
    // The summary, then "maker FTDI, driver FTSER2K", then the device's
    // instance id: one a line, the empty ones left out.
    std::string Describe() const;
};

// Every device with a COM port name that SetupAPI lists in the Ports class or
// with the COM port interface, the unplugged ones too; each device once.
// Empty when SetupAPI lists nothing (as under Wine).
std::vector<ComPortAdapter> ReadComPortAdapters(const SetupApi& api);

// The adapter named `portName`, a plugged-in one first; nullptr when none.
const ComPortAdapter* FindComPortAdapter(const std::vector<ComPortAdapter>& adapters,
                                         const std::string& portName);

}  // namespace vorenta
