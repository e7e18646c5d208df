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

// A map holds at most a hundred useful lines; a longer file is no map.
constexpr int kMostMapLines = 1000;

}  // namespace

InotifyPortWatch::InotifyPortWatch(std::filesystem::path devFolder, std::filesystem::path mapFile)
    : devFolder_(std::move(devFolder)),
      mapFile_(std::move(mapFile)),
      fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (!fd_.Valid()) {
        return;
    }
    Folder devices;
    devices.ttyNames = true;
    Watch(devFolder_, devices);
    WatchMap();
}

void InotifyPortWatch::Watch(const std::filesystem::path& folder, const Folder& what) {
    if (folder.empty()) {
        return;
    }
    const int wd = ::inotify_add_watch(fd_.Get(), folder.c_str(), kFolderEvents);
    if (wd < 0) {
        return;  // a folder that cannot be watched is refreshed by hand
    }
    // A folder watched for several files counts each of them.
    Folder& known = folders_[wd];
    known.ttyNames = known.ttyNames || what.ttyNames;
    known.names.insert(what.names.begin(), what.names.end());
}

void InotifyPortWatch::WatchFor(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::path below = file;
    std::filesystem::path folder = file.parent_path();
    while (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        if (folder == folder.parent_path()) {
            return;
        }
        below = folder;
        folder = folder.parent_path();
    }
    Folder what;
    what.names.insert(below.filename().string());
    Watch(folder, what);
}

void InotifyPortWatch::WatchMap() {
    if (mapFile_.empty()) {
        return;
    }
    WatchFor(mapFile_);
    // Only the device paths matter here; the port table says what is wrong
    // with a line when it lists.
    std::ifstream map(mapFile_);
    std::string line;
    for (int lines = 0; lines < kMostMapLines && std::getline(map, line); ++lines) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string_view path = TrimBlanks(std::string_view(line).substr(equals + 1));
        if (!path.empty() && path.front() == '/') {
            WatchFor(std::filesystem::path(path));
        }
    }
}

bool InotifyPortWatch::Counts(const Folder& folder, const std::string& name) {
    if (folder.names.count(name) != 0) {
        return true;
    }
    if (!folder.ttyNames) {
        return false;
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
                // The folder itself went: watch for what stands in its place.
                if (folder != folders_.end()) {
                    folders_.erase(folder);
                }
                changed = true;
                rewatch = true;
            } else if (folder != folders_.end() && Counts(folder->second, name)) {
                // A folder on the way may have come, or the map may name others now.
                changed = true;
                rewatch = true;
            }
        }
    }
    if (rewatch) {
        WatchMap();
    }
    return changed;
}

}  // namespace vorenta
