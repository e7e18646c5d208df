#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/PortTable.h"
#include "platform/posix/PortDiagnosis.h"
#include "platform/posix/PortTableRoots.h"

namespace vorenta {

// COM numbers 1..100 on POSIX. Entries of the per-user map file come first
// (`COMn=/path` lines); the rest follows a fixed rule over the devices that
// exist: ttyS0-31 as COM1-32 (only with a UART behind them), ttyUSB0-33 as
// COM33-66, ttyACM0-33 as COM67-100.
//
// A listing is a snapshot: the devices asked for afterwards are the ones the
// operator was shown, and the map file is read once per listing.
class PosixPortTable : public IPortTable {
  public:
    static constexpr int kFirstCom = 1;
    static constexpr int kLastCom = 100;
    // A map file holds at most a hundred lines; anything larger is not one.
    static constexpr std::size_t kMaxMapFileBytes = 1024 * 1024;

    // Warnings about map-file lines go to `warnings` (standard error when null),
    // each distinct one once per table.
    explicit PosixPortTable(PortTableRoots roots = PortTableRoots::ForThisMachine(),
                            std::ostream* warnings = nullptr,
                            SessionIdentity identity = SessionIdentity::OfThisProcess());

    bool ListPorts(std::vector<InstalledPort>& ports) override;
    // From the last listing; without one, a listing is made first.
    std::string DevicePathFor(int comNumber) override;
    std::string DescribeDevice(const std::string& devicePath) override;
    bool DevicePresent(const std::string& devicePath) override;
    std::string DescribeOpenFailure(int comNumber, const std::string& devicePath) override;

    const PortTableRoots& Roots() const { return roots_; }

  private:
    struct Entry {
        int comNumber;
        std::string devicePath;
    };
    // False when no source could be read at all.
    bool Collect(std::vector<Entry>& entries);
    const std::vector<Entry>& Snapshot();
    bool ReadMapFile(std::vector<Entry>& entries);
    void AddRuleDevices(std::vector<Entry>& entries) const;
    bool HasUart(int ttySIndex) const;
    void Warn(const std::string& text);

    PortTableRoots roots_;
    std::ostream* warnings_;
    std::set<std::string> warned_;
    SessionIdentity identity_;
    std::optional<std::vector<Entry>> snapshot_;
};

}  // namespace vorenta
