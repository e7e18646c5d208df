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
#include "platform/fake/MemoryWindowHost.h"
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
    void Add(const std::string& name) { listed.push_back({name, "/dev/fake-" + name}); }

    std::vector<InstalledPort> listed;
    bool readable = true;
    int reads = 0;
    std::function<void()> onList;
};

class MemorySettings : public ISettingsStore {
  public:
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) override {
        ++reads;
        const auto it = values.find(Key(section, entry));
        return it == values.end() ? defaultValue : it->second;
    }
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value) override {
        ++writes;
        values[Key(section, entry)] = value;
        return writable;
    }
    static std::string Key(std::string_view section, std::string_view entry) {
        return std::string(section) + "/" + std::string(entry);
    }

    std::map<std::string, int> values;
    bool writable = true;
    int reads = 0;
    int writes = 0;
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

// The window logic needs a serial device and files to be constructed; the
// port code never touches them.
class UnusedSerialDevice : public ISerialDevice {
  public:
    bool Open(const std::string&) override { return false; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    bool ApplySettings(const Dcb&) override { return false; }
    bool SetDtr(bool) override { return false; }
    bool SetRts(bool) override { return false; }
    long Write(const std::uint8_t*, std::size_t) override { return -1; }
    long BytesWaiting() override { return -1; }
    long Read(std::uint8_t*, std::size_t) override { return -1; }
    bool PurgeOutput() override { return false; }
    bool PurgeInput() override { return false; }
};

class NoFiles : public IFileSystem {
  public:
    std::unique_ptr<IFile> Open(const std::string&, OpenMode) override { return nullptr; }
    bool RemoveFile(const std::string&) override { return false; }
};

// An update window over in-memory services.
struct WindowUnderTest {
    MemoryWindowHost host;
    FakeClock clock;
    UnusedSerialDevice serial;
    ListedPorts ports;
    MemorySettings settings;
    ScriptedPeers peers;
    NoFiles files;
    std::int8_t preferredPort = -1;
    CPLSM_UpdateDlg dlg{UpdateDlgPlatform{host, clock, serial, ports, settings, peers, files},
                        preferredPort, "PLSM_Update"};
};

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

inline void WriteFile(const std::filesystem::path& path, const std::string& contents) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace vorenta::testing
