#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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
// needs a new login), another process holding it, or the adapter being gone.
// What only the system knows beyond POSIX (which processes hold the device,
// services that take serial adapters) comes from the system's own subclass.
class PortDiagnosis {
  public:
    struct Holder {
        long pid;
        std::string name;
    };

    // `groupFile`: the group(5) file that names the device's group.
    PortDiagnosis(std::filesystem::path groupFile, SessionIdentity identity);
    virtual ~PortDiagnosis() = default;
    PortDiagnosis(const PortDiagnosis&) = delete;
    PortDiagnosis& operator=(const PortDiagnosis&) = delete;

    // `openError` is the errno an open of `devicePath` ended with (0: it opened).
    // Several lines of advice; empty only when nothing is known to say.
    std::string Explain(const std::string& devicePath, int openError) const;

    // Opens the device the way the serial port does and closes it again:
    // 0 when it could be opened and locked, else the errno that stopped it.
    static int ProbeOpen(const std::string& devicePath);

    // Processes with the device open, as far as the system lets them be found;
    // POSIX alone has no way: none.
    virtual std::vector<Holder> FindHolders(const std::string& devicePath) const;

  protected:
    // The device (or the adapter behind it) is not there.
    static bool IsMissingDevice(int error);
    // Paragraphs about services of the system that take serial devices, added
    // after the main advice; POSIX alone knows none.
    virtual std::vector<std::string> ServiceAdvice(const std::string& devicePath,
                                                   int openError) const;

  private:
    std::string ExplainPermission(const std::string& devicePath) const;
    std::string ExplainInUse(const std::string& devicePath) const;

    std::filesystem::path groupFile_;
    SessionIdentity identity_;
};

}  // namespace vorenta
