#include "PortPins.h"

#include "common/PrintableText.h"
#include "platform/linux/AdapterInfo.h"

namespace vorenta {

namespace {
constexpr char kHeader[] =
    "# Serial ports pinned by vorenta-port --pin: each COM number names its adapter by the\n"
    "# stable name udev gives it, so the adapter keeps its number when plugged in again.\n";
constexpr char kUnstableNote[] = " has no stable name; it is kept under its device path.\n";
}  // namespace

std::string PinnedPortsText(const std::vector<InstalledPort>& ports, const PortTableRoots& roots) {
    std::string text = kHeader;
    for (const InstalledPort& port : ports) {
        const AdapterInfo adapter = ReadAdapterInfo(port.devicePath, roots);
        // A stable name with control characters could split the map file's
        // line; such a port stays under its device path.
        if (!adapter.byIdPath.empty() && PrintableText(adapter.byIdPath) == adapter.byIdPath) {
            const std::string summary = adapter.Summary();
            if (!summary.empty()) {
                text += "# " + PrintableText(summary) + "\n";
            }
            text += port.name + "=" + adapter.byIdPath + "\n";
        } else {
            text += "# " + port.name + kUnstableNote;
            text += port.name + "=" + port.devicePath + "\n";
        }
    }
    return text;
}

}  // namespace vorenta
