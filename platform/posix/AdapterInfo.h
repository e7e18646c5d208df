#pragma once

#include <filesystem>
#include <string>

#include "platform/posix/PortTableRoots.h"

namespace vorenta {

// What the system knows of the adapter behind a serial device: for USB
// adapters the strings and ids the device reports (from sysfs), the kernel
// driver, and the stable name udev gives it under /dev/serial/by-id/.
struct AdapterInfo {
    std::string manufacturer;
    std::string product;
    std::string vendorId;   // four hex digits, as the device reports them
    std::string productId;  // four hex digits
    std::string serial;
    std::string driver;  // e.g. "cdc_acm", "ch341-uart", "ftdi_sio"
    std::string byIdPath;

    bool IsUsb() const { return !vendorId.empty() && !productId.empty(); }
    // "1a86:7523", or empty when not a USB adapter.
    std::string UsbId() const;
    // "FTDI FT232R USB UART (0403:6001, serial A50285BI, driver ftdi_sio)"; empty when
    // nothing is known.
    std::string Summary() const;
    // Summary and by-id name, one a line, the empty ones left out.
    std::string Describe() const;
};

// Reads what sysfs and /dev/serial/by-id say of `devicePath` (a device path or
// a by-id link); fields stay empty where nothing is found (a pty, a missing device).
AdapterInfo ReadAdapterInfo(const std::filesystem::path& devicePath, const PortTableRoots& roots);

// The by-id link in `byIdFolder` that leads to the same device as `devicePath`.
std::string FindByIdName(const std::filesystem::path& devicePath,
                         const std::filesystem::path& byIdFolder);

// True when a USB device with this vendor and product id is attached, plugged
// in whether or not a serial device stands for it.
bool UsbDeviceAttached(const PortTableRoots& roots, std::string_view vendorId,
                       std::string_view productId);

}  // namespace vorenta
