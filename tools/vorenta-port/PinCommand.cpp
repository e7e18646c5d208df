#include "PinCommand.h"

#include <cstdio>
#include <vector>

#include "PortPins.h"
#include "platform/linux/PortTableRoots.h"
#include "platform/posix/Folders.h"
#include "platform/posix/ReplaceFile.h"

namespace vorenta {

bool PinPorts(IPortTable& ports, bool write, const std::function<void(const std::string&)>& error) {
    std::vector<InstalledPort> list;
    if (!ports.ListPorts(list)) {
        error("cannot read the port table");
        return false;
    }
    const PortTableRoots roots = PortTableRoots::ForThisMachine();
    const std::string text = PinnedPortsText(list, roots);
    if (!write) {
        std::fputs(text.c_str(), stdout);
        return true;
    }
    if (roots.mapFile.empty()) {
        error("no settings folder is known (set HOME or XDG_CONFIG_HOME)");
        return false;
    }
    std::string why;
    if (!CreatePrivateFolder(roots.mapFile.parent_path()) ||
        !ReplaceFileAtomically(roots.mapFile, text, why)) {
        error("cannot write " + roots.mapFile.string() +
              (why.empty() ? std::string() : " (" + why + ")"));
        return false;
    }
    std::printf("wrote %s:\n%s", roots.mapFile.c_str(), text.c_str());
    return true;
}

}  // namespace vorenta
