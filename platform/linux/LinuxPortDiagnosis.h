#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/PortTableRoots.h"
#include "platform/posix/PortDiagnosis.h"

namespace vorenta {

// The diagnosis with what Linux tells besides: the processes holding the
// device (from /proc), ModemManager probing an ACM device, brltty claiming a
// CH340 adapter.
class LinuxPortDiagnosis : public PortDiagnosis {
  public:
    LinuxPortDiagnosis(PortTableRoots roots, SessionIdentity identity);

    // Processes with the device open, where their /proc entries can be read.
    std::vector<Holder> FindHolders(const std::string& devicePath) const override;
    bool ProcessRunning(std::string_view name) const;

  protected:
    std::vector<std::string> ServiceAdvice(const std::string& devicePath,
                                           int openError) const override;

  private:
    PortTableRoots roots_;
};

}  // namespace vorenta
