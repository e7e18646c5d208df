#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "platform/fake/MemorySettingsStore.h"
#include "tests/support/MemoryWindowHost.h"
#include "tests/support/NullPlatform.h"
#include "ui/UpdateDlg.h"

namespace vorenta::testing {

// A port list the test writes directly.
class ListedPorts : public IPortTable {
  public:
    bool ListPorts(std::vector<InstalledPort>& ports) override {
        ++reads;
        if (onList) {
            onList();
        }
        ports = listed;
        return readable;
    }
    std::string DevicePathFor(int comNumber) override {
        const std::string name = "COM" + std::to_string(comNumber);
        for (const InstalledPort& port : listed) {
            if (port.name == name) {
                return port.devicePath;
            }
        }
        return {};
    }
    std::string DescribeDevice(const std::string& devicePath) override {
        const auto found = adapters.find(devicePath);
        return found == adapters.end() ? std::string() : found->second;
    }
    std::string DescribeOpenFailure(int comNumber, const std::string& devicePath) override {
        return openFailure.empty()
                   ? std::string()
                   : openFailure + " (COM" + std::to_string(comNumber) + ", " + devicePath + ")";
    }
    void Add(const std::string& name) { listed.push_back({name, "/dev/fake-" + name}); }

    std::vector<InstalledPort> listed;
    std::map<std::string, std::string> adapters;  // device path -> description
    std::string openFailure;
    bool readable = true;
    int reads = 0;
    std::function<void()> onList;
};

class ScriptedPeers : public IPeerWindows {
  public:
    struct Post {
        std::uint64_t handle;
        std::uint32_t message;
        std::uint32_t wParam;
        std::int32_t lParam;
    };
    std::vector<PeerWindow> TopLevelWindows() override { return windows; }
    bool PostMessage(std::uint64_t handle, std::uint32_t message, std::uint32_t wParam,
                     std::int32_t lParam) override {
        posts.push_back({handle, message, wParam, lParam});
        return true;
    }
    void AddWindow(std::string title, bool visible = true) {
        windows.push_back({windows.size() + 100, visible, std::move(title)});
    }

    std::vector<PeerWindow> windows;
    std::vector<Post> posts;
};

// An update window over in-memory services.
struct WindowUnderTest {
    MemoryWindowHost host;
    FakeClock clock;
    NullSerialDevice serial;
    ListedPorts ports;
    MemorySettingsStore settings;
    ScriptedPeers peers;
    NullFileSystem files;
    std::int8_t preferredPort = -1;
    CPLSM_UpdateDlg dlg{UpdateDlgPlatform{host, clock, serial, ports, settings, peers, files},
                        preferredPort, "PLSM_Update"};
};

#ifndef _WIN32
// A folder of its own under the system's temporary folder, removed at the end.
class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorenta-ports-XXXXXX");
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};
#endif  // _WIN32

inline void WriteFile(const std::filesystem::path& path, const std::string& contents) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace vorenta::testing
