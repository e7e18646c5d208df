#pragma once

#include <iosfwd>
#include <string>

#include "platform/linux/PortTableRoots.h"
#include "platform/posix/PortDiagnosis.h"
#include "platform/posix/PosixPortTable.h"

namespace vorenta {

// The port table of a Linux machine. Its fixed rule: ttyS0-31 as COM1-32 (only
// with a UART behind them), ttyUSB0-33 as COM33-66, ttyACM0-33 as COM67-100.
// Devices are described from sysfs, open failures with what /proc and sysfs
// tell besides.
class LinuxPortTable : public PosixPortTable {
  public:
    explicit LinuxPortTable(PortTableRoots roots = PortTableRoots::ForThisMachine(),
                            std::ostream* warnings = nullptr,
                            SessionIdentity identity = SessionIdentity::OfThisProcess());

    std::string DescribeDevice(const std::string& devicePath) override;

    const PortTableRoots& Roots() const { return roots_; }

  protected:
    bool HasUart(const std::string& name) const override;
    std::string ExplainOpenFailure(const std::string& devicePath) const override;

  private:
    PortTableRoots roots_;
    SessionIdentity identity_;
};

}  // namespace vorenta
