#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileAccess.h"
#include "platform/PeerWindows.h"
#include "platform/PortTable.h"
#include "platform/SettingsStore.h"

namespace vorenta {

// The platform services that sessions on several ports share, each used by
// one session at a time.
class LockedPortTable : public IPortTable {
  public:
    explicit LockedPortTable(IPortTable& inner) : inner_(inner) {}
    bool ListPorts(std::vector<InstalledPort>& ports) override;
    std::string DevicePathFor(int comNumber) override;
    std::string DescribeDevice(const std::string& devicePath) override;
    bool DevicePresent(const std::string& devicePath) override;
    std::string DescribeOpenFailure(int comNumber, const std::string& devicePath) override;

  private:
    std::mutex mutex_;
    IPortTable& inner_;
};

class LockedSettingsStore : public ISettingsStore {
  public:
    explicit LockedSettingsStore(ISettingsStore& inner) : inner_(inner) {}
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) override;
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value) override;

  private:
    std::mutex mutex_;
    ISettingsStore& inner_;
};

class LockedPeerWindows : public IPeerWindows {
  public:
    explicit LockedPeerWindows(IPeerWindows& inner) : inner_(inner) {}
    std::vector<PeerWindow> TopLevelWindows() override;
    bool PostMessage(std::uint64_t handle, std::uint32_t message, std::uint32_t wParam,
                     std::int32_t lParam) override;

  private:
    std::mutex mutex_;
    IPeerWindows& inner_;
};

}  // namespace vorenta
