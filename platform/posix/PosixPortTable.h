#pragma once

#include <filesystem>
#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "platform/PortTable.h"

namespace vorenta {

// Where the port table looks. Tests point these at a tree of their own.
struct PortTableRoots {
    std::filesystem::path devFolder = "/dev";
    std::filesystem::path sysTtyFolder = "/sys/class/tty";
    std::filesystem::path mapFile;  // the per-user ports.conf; empty: none

    // /dev, /sys/class/tty and ports.conf in the company's settings folder.
    static PortTableRoots ForThisMachine();
};

// COM numbers 1..100 on POSIX. Entries of the per-user map file come first
// (`COMn=/path` lines); the rest follows a fixed rule over the devices that
// exist: ttyS0-31 as COM1-32 (only with a UART behind them), ttyUSB0-33 as
// COM33-66, ttyACM0-33 as COM67-100.
class PosixPortTable : public IPortTable {
  public:
    static constexpr int kFirstCom = 1;
    static constexpr int kLastCom = 100;

    // Warnings about map-file lines go to `warnings` (standard error when null),
    // each distinct one once per table.
    explicit PosixPortTable(PortTableRoots roots = PortTableRoots::ForThisMachine(),
                            std::ostream* warnings = nullptr);

    bool ListPorts(std::vector<InstalledPort>& ports) override;
    std::string DevicePathFor(int comNumber) override;

    const PortTableRoots& Roots() const { return roots_; }

  private:
    struct Entry {
        int comNumber;
        std::string devicePath;
    };
    // False when no source could be read at all.
    bool Collect(std::vector<Entry>& entries);
    bool ReadMapFile(std::vector<Entry>& entries);
    void AddRuleDevices(std::vector<Entry>& entries) const;
    bool HasUart(int ttySIndex) const;
    void Warn(const std::string& text);

    PortTableRoots roots_;
    std::ostream* warnings_;
    std::set<std::string> warned_;
};

}  // namespace vorenta
