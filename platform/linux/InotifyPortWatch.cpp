#include "platform/linux/InotifyPortWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>
#include <utility>

#include "platform/TextCompare.h"

namespace vorenta {

namespace {

constexpr std::uint32_t kFolderEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE_SELF;

// Serial devices a kernel names in /dev: the fixed rule's families and Bluetooth.
constexpr std::array<std::string_view, 2> kSerialPrefixes = {"tty", "rfcomm"};

// The folder to watch for `device`: its own, or the nearest existing one above.
std::filesystem::path NearestFolder(const std::filesystem::path& device) {
    std::error_code error;
    std::filesystem::path folder = device.parent_path();
    while (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        if (folder == folder.parent_path()) {
            return {};
        }
        folder = folder.parent_path();
    }
    return folder;
}

}  // namespace

InotifyPortWatch::InotifyPortWatch(std::filesystem::path devFolder, std::filesystem::path mapFile)
    : devFolder_(std::move(devFolder)),
      mapFile_(std::move(mapFile)),
      fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (!fd_.Valid()) {
        return;
    }
    Watch(devFolder_, {devFolder_, true, false});
    if (!mapFile_.empty()) {
        Watch(mapFile_.parent_path(), {mapFile_.parent_path(), false, true});
    }
    WatchMapFolders();
}

void InotifyPortWatch::Watch(const std::filesystem::path& folder, Folder what) {
    if (folder.empty()) {
        return;
    }
    const int wd = ::inotify_add_watch(fd_.Get(), folder.c_str(), kFolderEvents);
    if (wd < 0) {
        return;  // a folder that cannot be watched is refreshed by hand
    }
    // A folder watched for two reasons counts every change.
    const auto known = folders_.find(wd);
    if (known != folders_.end()) {
        known->second.ttyNamesOnly = known->second.ttyNamesOnly && what.ttyNamesOnly;
        known->second.mapFileOnly = known->second.mapFileOnly && what.mapFileOnly;
        return;
    }
    folders_.emplace(wd, std::move(what));
}

void InotifyPortWatch::WatchMapFolders() {
    if (mapFile_.empty()) {
        return;
    }
    // Only the device paths matter here; the port table says what is wrong
    // with a line when it lists.
    std::ifstream map(mapFile_);
    std::string line;
    for (int lines = 0; lines < 1000 && std::getline(map, line); ++lines) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string_view path = TrimBlanks(std::string_view(line).substr(equals + 1));
        if (path.empty() || path.front() != '/') {
            continue;
        }
        const std::filesystem::path folder = NearestFolder(std::filesystem::path(path));
        Watch(folder, {folder, false, false});
    }
}

bool InotifyPortWatch::Counts(const Folder& folder, const std::string& name) const {
    if (folder.mapFileOnly) {
        return name == mapFile_.filename().string();
    }
    if (!folder.ttyNamesOnly) {
        return true;
    }
    for (const std::string_view prefix : kSerialPrefixes) {
        if (name.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

bool InotifyPortWatch::PortsChanged() {
    if (!fd_.Valid()) {
        return false;
    }
    bool changed = false;
    bool rewatch = false;
    alignas(inotify_event) std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd_.Get(), buffer.data(), buffer.size());
        if (got <= 0) {
            break;  // EAGAIN: nothing more waiting
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + at, sizeof event);
            const std::string name =
                event.len > 0 ? std::string(buffer.data() + at + sizeof event) : std::string();
            at += static_cast<ssize_t>(sizeof event + event.len);

            const auto folder = folders_.find(event.wd);
            if ((event.mask & IN_IGNORED) != 0) {
                // The folder itself went: watch what stands in its place.
                if (folder != folders_.end()) {
                    folders_.erase(folder);
                }
                changed = true;
                rewatch = true;
                continue;
            }
            if (folder == folders_.end() || !Counts(folder->second, name)) {
                continue;
            }
            changed = true;
            // A new folder may be where a mapped device lives; a changed map may name others.
            rewatch = rewatch || (event.mask & IN_ISDIR) != 0 || folder->second.mapFileOnly ||
                      name == mapFile_.filename().string();
        }
    }
    if (rewatch) {
        WatchMapFolders();
    }
    return changed;
}

}  // namespace vorenta
