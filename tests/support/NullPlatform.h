#pragma once

// Services that do nothing, for tests of the update window that do not
// exercise them, and a bundle that builds an UpdateDlgPlatform around the
// in-memory window host and the fake clock.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileAccess.h"
#include "platform/PeerWindows.h"
#include "platform/PortTable.h"
#include "platform/SerialDevice.h"
#include "platform/SettingsStore.h"
#include "platform/fake/FakeClock.h"
#include "tests/support/MemoryWindowHost.h"
#include "ui/UpdateDlg.h"

namespace vorenta {

// A serial line that is never there.
class NullSerialDevice : public ISerialDevice {
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

// A machine without serial ports.
class NullPortTable : public IPortTable {
  public:
    bool ListPorts(std::vector<InstalledPort>& ports) override {
        ports.clear();
        return true;
    }
    std::string DevicePathFor(int) override { return {}; }
};

// Settings that are never stored: every read gives the default.
class NullSettingsStore : public ISettingsStore {
  public:
    int GetProfileInt(std::string_view, std::string_view, int defaultValue) override {
        return defaultValue;
    }
    bool WriteProfileInt(std::string_view, std::string_view, int) override { return false; }
};

// A desktop without other programs' windows.
class NullPeerWindows : public IPeerWindows {
  public:
    std::vector<PeerWindow> TopLevelWindows() override { return {}; }
    bool PostMessage(std::uint64_t, std::uint32_t, std::uint32_t, std::int32_t) override {
        return false;
    }
};

// A file system in which nothing can be opened or made.
class NullFileSystem : public IFileSystem {
  public:
    std::unique_ptr<IFile> Open(const std::string&, OpenMode) override { return nullptr; }
    std::unique_ptr<ISessionFolder> CreateSessionFolder(const std::string&) override {
        return nullptr;
    }
};

// Window host, clock and null services; files come from the test.
struct NullPlatform {
    explicit NullPlatform(IFileSystem& fileSystem) : files(fileSystem) {}

    UpdateDlgPlatform Platform() {
        return UpdateDlgPlatform{window, clock, serialDevice, portTable, settings, peers, files};
    }

    MemoryWindowHost window;
    FakeClock clock;
    NullSerialDevice serialDevice;
    NullPortTable portTable;
    NullSettingsStore settings;
    NullPeerWindows peers;
    IFileSystem& files;
};

}  // namespace vorenta
