#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/NativeFileSystem.h"
#include "tests/support/NullPlatform.h"
#include "tests/support/TempFolder.h"
#include "ui/UpdateDlg.h"

namespace vorenta {

using Bytes = std::vector<std::uint8_t>;

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}
inline void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, Bytes(text.begin(), text.end()));
}
inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The real POSIX file system with faults injected per path (files made in a
// session folder: per name).
class FaultyFileSystem : public IFileSystem {
  public:
    struct Faults {
        bool readFails = false;
        std::uint64_t writeLimit = UINT64_MAX;  // bytes taken before the disk is full
        bool flushFails = false;
        std::optional<std::uint64_t> length;  // a length other than the real one
        std::optional<std::optional<LocalTime>> modified;
        bool identityUnknown = false;  // the platform cannot tell this version of the file
    };

    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode) override {
        return WithFaults(real.Open(path, mode), path);
    }
    std::unique_ptr<ISessionFolder> CreateSessionFolder(const std::string& parent) override {
        std::string why;
        return MakeSessionFolder(parent, why);
    }
    std::unique_ptr<ISessionFolder> MakeSessionFolder(const std::string& parent,
                                                      std::string& why) override {
        auto folder = real.MakeSessionFolder(parent, why);
        if (!folder) {
            return nullptr;
        }
        return std::make_unique<FaultyFolder>(std::move(folder), *this);
    }

    NativeFileSystem real;
    std::map<std::string, Faults> faults;

  private:
    std::unique_ptr<IFile> WithFaults(std::unique_ptr<IFile> file, const std::string& key) {
        if (!file || !faults.contains(key)) {
            return file;
        }
        return std::make_unique<FaultyFile>(std::move(file), faults[key]);
    }

    class FaultyFolder : public ISessionFolder {
      public:
        FaultyFolder(std::unique_ptr<ISessionFolder> folder, FaultyFileSystem& owner)
            : folder_(std::move(folder)), owner_(owner) {}
        const std::string& Path() const override { return folder_->Path(); }
        std::unique_ptr<IFile> CreateFile(std::string_view name) override {
            return owner_.WithFaults(folder_->CreateFile(name), std::string(name));
        }

      private:
        std::unique_ptr<ISessionFolder> folder_;
        FaultyFileSystem& owner_;
    };

    class FaultyFile : public IFile {
      public:
        FaultyFile(std::unique_ptr<IFile> file, Faults faults)
            : file_(std::move(file)), faults_(faults) {}
        long Read(std::uint8_t* buffer, std::size_t count) override {
            return faults_.readFails ? -1 : file_->Read(buffer, count);
        }
        long Write(const std::uint8_t* data, std::size_t count) override {
            if (written_ + count > faults_.writeLimit) {
                return -1;
            }
            written_ += count;
            return file_->Write(data, count);
        }
        bool Seek(std::uint64_t offset) override { return file_->Seek(offset); }
        std::optional<std::uint64_t> Length() override {
            return faults_.length ? faults_.length : file_->Length();
        }
        std::optional<LocalTime> ModificationTime() override {
            return faults_.modified ? *faults_.modified : file_->ModificationTime();
        }
        bool Flush() override { return !faults_.flushFails && file_->Flush(); }
        std::optional<FileIdentity> Identity() override {
            return faults_.identityUnknown ? std::nullopt : file_->Identity();
        }

      private:
        std::unique_ptr<IFile> file_;
        Faults faults_;
        std::uint64_t written_ = 0;
    };
};

// An update window whose program and temporary folders are fresh directories.
class FirmwareFilesTest : public ::testing::Test {
  protected:
    FirmwareFilesTest() {
        std::filesystem::create_directory(folder / "program");
        std::filesystem::create_directory(folder / "temp");
        dlg.firmware.programDir = root + "/program/";
        dlg.pageImage.tempDir = root + "/temp/";
    }

    const std::vector<MemoryWindowHost::Box>& Boxes() const { return null.window.messageBoxes; }

    // The page image the window holds; empty when none.
    std::string Image() const { return dlg.pageImage.PageImagePath(); }

    const TempFolder folder{"vorenta-firmware-"};
    const std::string root = folder.path().string();
    FaultyFileSystem files;
    NullPlatform null{files};
    std::int8_t preferredPort = -1;
    CPLSM_UpdateDlg dlg{null.Platform(), preferredPort, "VorentaUpdate"};
};

}  // namespace vorenta
