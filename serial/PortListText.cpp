#include "serial/PortListText.h"

#include <algorithm>
#include <sstream>

#include "common/PrintableText.h"

namespace vorenta {

namespace {
constexpr int kNameColumn = 6;
}  // namespace

std::string PortListText(IPortTable& table, const std::vector<InstalledPort>& ports) {
    std::string text;
    const std::string indent(kNameColumn + 1, ' ');
    for (const InstalledPort& port : ports) {
        std::string name = PrintableText(port.name);
        name.resize(std::max<std::size_t>(name.size(), kNameColumn), ' ');
        text += name + " " + PrintableText(port.devicePath) + "\n";
        std::istringstream about(table.DescribeDevice(port.devicePath));
        std::string line;
        while (std::getline(about, line)) {
            text += indent + PrintableText(line) + "\n";
        }
    }
    return text;
}

std::string AdapterLine(IPortTable& table, const std::string& devicePath) {
    std::istringstream about(table.DescribeDevice(devicePath));
    std::string joined;
    std::string line;
    while (std::getline(about, line)) {
        if (!line.empty()) {
            joined += (joined.empty() ? "" : "; ") + PrintableText(line);
        }
    }
    return joined;
}

}  // namespace vorenta
