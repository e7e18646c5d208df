#pragma once

#include <string>
#include <vector>

#include "platform/PortTable.h"

namespace vorenta {

// The installed ports plus one device named on the command line, which gets
// the COM number it already has or else the lowest number still free. A
// listing leaves the device out once it is gone (an adapter pulled); one that
// was never there stays, so that opening it says why it cannot be used.
class ExtraPortTable : public IPortTable {
  public:
    ExtraPortTable(IPortTable& installed, std::string devicePath);

    bool ListPorts(std::vector<InstalledPort>& ports) override;
    std::string DevicePathFor(int comNumber) override;
    std::string DescribeDevice(const std::string& devicePath) override {
        return installed_.DescribeDevice(devicePath);
    }
    bool DevicePresent(const std::string& devicePath) override {
        return installed_.DevicePresent(devicePath);
    }
    std::string DescribeOpenFailure(int comNumber, const std::string& devicePath) override {
        return installed_.DescribeOpenFailure(comNumber, devicePath);
    }
    // The COM number the device is known by; -1 when every number is taken.
    int ComNumber() const { return comNumber_; }

  private:
    IPortTable& installed_;
    std::string devicePath_;
    int comNumber_ = -1;
    bool presentAtStart_ = false;
};

}  // namespace vorenta
