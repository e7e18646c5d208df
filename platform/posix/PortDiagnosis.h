#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/PortTableRoots.h"

namespace vorenta {

// Who this process runs as, for telling whether a group joined after the
// login already counts.
struct SessionIdentity {
    std::string userName;
    std::vector<unsigned> groups;  // the effective and supplementary groups

    static SessionIdentity OfThisProcess();
};

// Finds out why a serial device could not be opened and says what the
// operator can do about it: missing permission (and whether joining the group
// needs a new login), another process holding it, ModemManager probing an ACM
// device, brltty claiming a CH340 adapter, or the adapter being gone.
class PortDiagnosis {
  public:
    struct Holder {
        long pid;
        std::string name;
    };

    PortDiagnosis(PortTableRoots roots, SessionIdentity identity);

    // `openError` is the errno an open of `devicePath` ended with (0: it opened).
    // Several lines of advice; empty only when nothing is known to say.
    std::string Explain(const std::string& devicePath, int openError) const;

    // Opens the device the way the serial port does and closes it again:
    // 0 when it could be opened and locked, else the errno that stopped it.
    static int ProbeOpen(const std::string& devicePath);

    // Processes with the device open, where their /proc entries can be read.
    std::vector<Holder> FindHolders(const std::string& devicePath) const;
    bool ProcessRunning(std::string_view name) const;

  private:
    std::string ExplainPermission(const std::string& devicePath) const;
    std::string ExplainInUse(const std::string& devicePath) const;

    PortTableRoots roots_;
    SessionIdentity identity_;
};

}  // namespace vorenta
