#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/NativeFileSystem.h"
#include "platform/NullPeerWindows.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/MemorySerialDevice.h"
#include "platform/fake/MemorySettingsStore.h"
#include "serial/StaticPortTable.h"
#include "tests/support/MemoryWindowHost.h"
#include "tests/support/TempFolder.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta::test {

// A base station with a module in update mode behind it, answering what the
// port object writes. Replies are queued on the line at once.
class ModulePeer {
  public:
    // The module's reply to send `sendCount` (1-based) of page `page`; nothing: silence.
    using PageReply = std::function<std::optional<std::uint8_t>(std::size_t page, int sendCount)>;

    explicit ModulePeer(MemorySerialDevice& device);

    int answerAtPoll = 1;
    std::vector<std::uint8_t> noiseBeforeAnswer;
    std::string identification = "VR-VMM-KT76\r";
    std::optional<std::uint8_t> readyByte = '!';
    PageReply pageReply = [](std::size_t, int) { return std::optional<std::uint8_t>('!'); };

    int polls = 0;
    bool identified = false;
    bool endMarkerSeen = false;
    std::vector<std::vector<std::uint8_t>> pagesAccepted;  // in order of acceptance
    std::vector<int> sendsPerPage;
    std::vector<std::uint32_t> addresses;  // of every page send
    int badChecksums = 0;

  private:
    void OnFrameData(const std::vector<std::uint8_t>& data);
    MemorySerialDevice& device_;
    std::vector<std::uint8_t> pending_;
};

// One update window over fakes, with a program folder holding the
// description file and firmware, and a temporary folder for the page image.
class UpdateRig {
  public:
    // Another clock and line for the window, where a test models them itself;
    // `line` is what the window talks to, `device` or a wrapper of it.
    struct Parts {
        ITickSource* clock = nullptr;
        MemorySerialDevice* device = nullptr;
        ISerialDevice* line = nullptr;
    };

    explicit UpdateRig(std::size_t firmwareBytes = 600);
    UpdateRig(std::size_t firmwareBytes, Parts parts);

    // Writes firmware of `size` bytes with a known pattern and the description file.
    void WriteFirmware(std::size_t size);
    std::vector<std::uint8_t> Firmware() const;
    // The page image the session holds; empty when none.
    std::string PageImagePath() const { return dlg.pageImage.PageImagePath(); }
    // Anything left in the temporary folder: a page image or its folder.
    bool PageImageExists() const { return !std::filesystem::is_empty(tempDir); }

    void Init();  // the window's initialisation
    bool BeginUpdate() { return host.Click(ids::kBeginUpdate); }
    // Ticks until the session is no longer armed or `limit` ticks have passed.
    int TickUntilIdle(int limit = 20);

    const MemoryWindowHost::Box* LastBox() const {
        return host.messageBoxes.empty() ? nullptr : &host.messageBoxes.back();
    }
    std::vector<std::uint8_t> LastWrite() const {
        return device.writes.empty() ? std::vector<std::uint8_t>{} : device.writes.back().bytes;
    }

    TempFolder folder{"vorenta-update-"};
    std::filesystem::path root = folder.path();
    std::filesystem::path programDir = root / "program";
    std::filesystem::path tempDir = root / "tmp";
    FakeClock clock{1000, 1};
    MemorySerialDevice device{clock};
    StaticPortTable ports{{{3, "/dev/ttyFAKE3"}, {7, "/dev/ttyFAKE7"}}};
    MemorySettingsStore settings;
    NullPeerWindows peers;
    NativeFileSystem files;
    MemoryWindowHost host;
    std::int8_t preferredPort = -1;
    Parts parts;
    UpdateDlgPlatform platform{host,
                               parts.clock ? *parts.clock : clock,
                               parts.line     ? *parts.line
                               : parts.device ? static_cast<ISerialDevice&>(*parts.device)
                                              : device,
                               ports,
                               settings,
                               peers,
                               files};
    CPLSM_UpdateDlg dlg{platform, preferredPort, "vorenta-test"};
    ModulePeer module{parts.device ? *parts.device : device};
};

}  // namespace vorenta::test
