#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "platform/PortWatch.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta {

// Watches, with inotify, what the port table lists from: tty devices coming
// and going in the device folder, the port map file, and the devices the map
// names. A file whose folder is missing is watched for through the nearest
// folder above it that exists, so that a /dev/serial/by-id coming back with
// the first adapter, or the settings folder made later, is seen.
// Without inotify it reports nothing and the operator refreshes by hand.
class InotifyPortWatch : public IPortWatch {
  public:
    InotifyPortWatch(std::filesystem::path devFolder, std::filesystem::path mapFile);

    bool PortsChanged() override;
    bool Watching() const { return fd_.Valid(); }

  private:
    // Which entries of a watched folder count.
    struct Folder {
        bool ttyNames = false;        // the device folder's serial devices
        std::set<std::string> names;  // and these
    };
    // (Re)watches the map file and the devices it names; either may have moved.
    void WatchMap();
    // Watches for `file`: its folder, or the way down to it from the nearest
    // folder that exists.
    void WatchFor(const std::filesystem::path& file);
    void Watch(const std::filesystem::path& folder, const Folder& what);
    static bool Counts(const Folder& folder, const std::string& name);

    std::filesystem::path devFolder_;
    std::filesystem::path mapFile_;
    UniqueFd fd_;
    std::map<int, Folder> folders_;  // by watch descriptor
};

}  // namespace vorenta
