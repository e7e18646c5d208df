#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "platform/PortWatch.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta {

// Watches, with inotify, the folders the port table lists from: tty devices
// appearing and going in the device folder, the port map file, and the
// folders of the map's devices (or, while such a folder is missing, the
// nearest one above it, so that a /dev/serial/by-id coming back is seen).
// Without inotify it reports nothing and the operator refreshes by hand.
class InotifyPortWatch : public IPortWatch {
  public:
    InotifyPortWatch(std::filesystem::path devFolder, std::filesystem::path mapFile);

    bool PortsChanged() override;
    bool Watching() const { return fd_.Valid(); }

  private:
    // What a watched folder's events are about.
    struct Folder {
        std::filesystem::path path;
        bool ttyNamesOnly = false;  // the device folder: only its tty devices count
        bool mapFileOnly = false;   // the map file's folder: only the map counts
    };
    // Watches the map's device folders (again); the map may have changed.
    void WatchMapFolders();
    void Watch(const std::filesystem::path& folder, Folder what);
    bool Counts(const Folder& folder, const std::string& name) const;

    std::filesystem::path devFolder_;
    std::filesystem::path mapFile_;
    UniqueFd fd_;
    std::map<int, Folder> folders_;  // by watch descriptor
};

}  // namespace vorenta
