#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PortTable.h"

namespace vorenta {

// A family of devices the fixed rule numbers: <devFolder>/<stem>0 .. <stem>N-1
// as COM firstCom .. firstCom+N-1, the ones that need a UART only when the
// system reports one behind them.
struct PortRuleFamily {
    std::string_view stem;
    int firstCom;
    int count;
    bool needsUart;
};

// COM numbers 1..100 on POSIX. Entries of the per-user map file come first
// (`COMn=/path` lines); the rest follows the system's fixed rule over the
// devices that exist.
//
// A listing is a snapshot: the devices asked for afterwards are the ones the
// operator was shown, and the map file is read once per listing.
class PosixPortTable : public IPortTable {
  public:
    static constexpr int kFirstCom = 1;
    static constexpr int kLastCom = 100;
    // A map file holds at most a hundred lines; anything larger is not one.
    static constexpr std::size_t kMaxMapFileBytes = std::size_t{1024} * 1024;

    // `mapFile` empty: none. Warnings about map-file lines go to `warnings`
    // (standard error when null), each distinct one once per table.
    PosixPortTable(std::filesystem::path devFolder, std::filesystem::path mapFile,
                   std::span<const PortRuleFamily> rule, std::ostream* warnings);

    bool ListPorts(std::vector<InstalledPort>& ports) override;
    // From the last listing; without one, a listing is made first.
    std::string DevicePathFor(int comNumber) override;
    // Whether the device is there now (an adapter pulled is not).
    bool DevicePresent(const std::string& devicePath) override;
    std::string DescribeOpenFailure(int comNumber, const std::string& devicePath) override;

  protected:
    // Whether the device `name` of a family that needs a UART has one behind
    // it; POSIX alone cannot tell a placeholder from a port: no.
    virtual bool HasUart(const std::string& name) const;
    // Why the device could not be opened, for an operator.
    virtual std::string ExplainOpenFailure(const std::string& devicePath) const;

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
    void Warn(const std::string& text);

    std::filesystem::path devFolder_;
    std::filesystem::path mapFile_;
    std::span<const PortRuleFamily> rule_;
    std::ostream* warnings_;
    std::set<std::string> warned_;
    std::optional<std::vector<Entry>> snapshot_;
};

}  // namespace vorenta
