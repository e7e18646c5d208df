#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PortTable.h"

namespace vorenta {

// Port names are "COM" and a number.
inline constexpr std::string_view kComPrefix = "COM";
inline constexpr int kLowestComNumber = 1;
inline constexpr int kHighestComNumber = 255;

std::string ComName(int comNumber);
// "COM7" gives 7 (the prefix in any letter case); anything else, or a number
// outside 1..255, gives nothing.
std::optional<int> ParseComName(std::string_view name);

// A port table that knows exactly the COM numbers its owner gave it.
class StaticPortTable : public IPortTable {
  public:
    StaticPortTable() = default;
    // Entries with a number outside 1..255 or an empty path are left out.
    explicit StaticPortTable(const std::map<int, std::string>& paths);

    // False (and no change) for a number outside 1..255 or an empty path.
    bool Add(int comNumber, std::string devicePath);
    // "COM5=/dev/ttyUSB0"; false when the text does not have that shape.
    bool AddMapping(std::string_view mapping);

    bool ListPorts(std::vector<InstalledPort>& ports) override;
    std::string DevicePathFor(int comNumber) override;

  private:
    std::map<int, std::string> paths_;
};

}  // namespace vorenta
