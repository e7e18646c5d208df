#include "SharedServices.h"

namespace vorenta {

namespace {

// A file that keeps its turn until it is closed.
class TurnHoldingFile : public IFile {
  public:
    TurnHoldingFile(std::unique_ptr<IFile> inner, std::unique_lock<std::recursive_mutex> turn)
        : turn_(std::move(turn)), inner_(std::move(inner)) {}

    long Read(std::uint8_t* buffer, std::size_t count) override {
        return inner_->Read(buffer, count);
    }
    long Write(const std::uint8_t* data, std::size_t count) override {
        return inner_->Write(data, count);
    }
    bool Seek(std::uint64_t offset) override { return inner_->Seek(offset); }
    std::optional<std::uint64_t> Length() override { return inner_->Length(); }
    std::optional<LocalTime> ModificationTime() override { return inner_->ModificationTime(); }
    bool Flush() override { return inner_->Flush(); }
    std::optional<FileIdentity> Identity() override { return inner_->Identity(); }

  private:
    // Declared first: the file is closed before the turn passes on.
    std::unique_lock<std::recursive_mutex> turn_;
    std::unique_ptr<IFile> inner_;
};

}  // namespace

bool LockedPortTable::ListPorts(std::vector<InstalledPort>& ports) {
    const std::lock_guard lock(mutex_);
    return inner_.ListPorts(ports);
}

std::string LockedPortTable::DevicePathFor(int comNumber) {
    const std::lock_guard lock(mutex_);
    return inner_.DevicePathFor(comNumber);
}

std::string LockedPortTable::DescribeDevice(const std::string& devicePath) {
    const std::lock_guard lock(mutex_);
    return inner_.DescribeDevice(devicePath);
}

bool LockedPortTable::DevicePresent(const std::string& devicePath) {
    const std::lock_guard lock(mutex_);
    return inner_.DevicePresent(devicePath);
}

std::string LockedPortTable::DescribeOpenFailure(int comNumber, const std::string& devicePath) {
    const std::lock_guard lock(mutex_);
    return inner_.DescribeOpenFailure(comNumber, devicePath);
}

int LockedSettingsStore::GetProfileInt(std::string_view section, std::string_view entry,
                                       int defaultValue) {
    const std::lock_guard lock(mutex_);
    return inner_.GetProfileInt(section, entry, defaultValue);
}

bool LockedSettingsStore::WriteProfileInt(std::string_view section, std::string_view entry,
                                          int value) {
    const std::lock_guard lock(mutex_);
    return inner_.WriteProfileInt(section, entry, value);
}

std::vector<PeerWindow> LockedPeerWindows::TopLevelWindows() {
    const std::lock_guard lock(mutex_);
    return inner_.TopLevelWindows();
}

bool LockedPeerWindows::PostMessage(std::uint64_t handle, std::uint32_t message,
                                    std::uint32_t wParam, std::int32_t lParam) {
    const std::lock_guard lock(mutex_);
    return inner_.PostMessage(handle, message, wParam, lParam);
}

std::unique_ptr<IFile> TurnTakingFileSystem::Open(const std::string& path, OpenMode mode) {
    if (mode != OpenMode::ReadExisting) {
        return inner_.Open(path, mode);
    }
    std::unique_lock turn(readTurn_);
    auto file = inner_.Open(path, mode);
    if (!file) {
        return nullptr;
    }
    return std::make_unique<TurnHoldingFile>(std::move(file), std::move(turn));
}

}  // namespace vorenta
