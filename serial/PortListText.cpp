#include "serial/PortListText.h"

#include <algorithm>
#include <sstream>

namespace vorenta {

namespace {
constexpr int kNameColumn = 6;
}  // namespace

std::string PortListText(IPortTable& table, const std::vector<InstalledPort>& ports) {
    std::string text;
    const std::string indent(kNameColumn + 1, ' ');
    for (const InstalledPort& port : ports) {
        std::string name = port.name;
        name.resize(std::max<std::size_t>(name.size(), kNameColumn), ' ');
        text += name + " " + port.devicePath + "\n";
        std::istringstream about(table.DescribeDevice(port.devicePath));
        std::string line;
        while (std::getline(about, line)) {
            text += indent + line + "\n";
        }
    }
    return text;
}

}  // namespace vorenta
