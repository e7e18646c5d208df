#pragma once

#include <string>
#include <vector>

namespace vorenta {

// An installed serial port as the system lists it: its name ("COM3") and the
// device that stands behind that name on this machine.
struct InstalledPort {
    std::string name;
    std::string devicePath;
};

class IPortTable {
  public:
    virtual ~IPortTable() = default;
    // False when the list itself cannot be read (not when it is empty).
    virtual bool ListPorts(std::vector<InstalledPort>& ports) = 0;
    // The device behind COM `comNumber`, or empty when the table knows none.
    virtual std::string DevicePathFor(int comNumber) = 0;
    // What the system knows of the adapter behind a device (maker, product,
    // ids, a stable name), one item per line; empty when nothing. The texts
    // are the device's own, not yet made printable.
    virtual std::string DescribeDevice(const std::string& /*devicePath*/) { return {}; }
    // False once the device is gone (an adapter pulled); true where that cannot be told.
    virtual bool DevicePresent(const std::string& /*devicePath*/) { return true; }
    // Why COM `comNumber` (`devicePath`) could not be opened and what the
    // operator can do, asked right after an open failed; empty when nothing
    // can be said. Names of other programs in it are not yet made printable.
    virtual std::string DescribeOpenFailure(int /*comNumber*/, const std::string& /*devicePath*/) {
        return {};
    }
};

}  // namespace vorenta
