#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

#include "UpdateRig.h"
#include "update/OutcomeTexts.h"

namespace vorenta::test {
namespace {

const std::vector<std::uint8_t> kRelease{0x3C, 0x57};
const std::string kProduct = "Vorenta KT7.6 VMM & DO-232 R2 Mobile Module";

// Arms, lets the module answer and runs the transfer to its end.
void RunUpdate(UpdateRig& rig) {
    rig.Init();
    ASSERT_TRUE(rig.BeginUpdate());
    rig.TickUntilIdle();
    ASSERT_EQ(rig.dlg.session.updateActive, 0);
}

// What every ending of a transfer leaves behind.
void ExpectSessionEnded(const UpdateRig& rig) {
    EXPECT_EQ(rig.LastWrite(), kRelease);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.PageImageExists());
    EXPECT_EQ(rig.host.Text(ids::kBeginUpdate), "Begin Update");
    for (const int id : {ids::kBeginUpdate, ids::IDCANCEL, ids::kRefreshPorts,
                         ids::kContactInformation, 2001, 2002}) {
        EXPECT_TRUE(rig.host.Enabled(id)) << id;
    }
    EXPECT_TRUE(rig.host.SystemMenuItemEnabled(ids::kSysCommandClose));
    EXPECT_EQ(rig.host.waitCursorDepth, 0);
}

// A failure over a line that went away: the whole message, and the session
// ended as every session ends, though the release could not be sent.
void ExpectLostLineFailure(const UpdateRig& rig, const std::string& headline) {
    ASSERT_NE(rig.LastBox(), nullptr);
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Error");
    // Headline and notice stay whole; the reason follows, as below a port that would not open.
    EXPECT_EQ(rig.LastBox()->text,
              headline + FailureNotice() + "Serial port COM3 is no longer available.");
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "Firmware update failed");
    EXPECT_EQ(rig.settings.writes, 0);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.PageImageExists());
    EXPECT_EQ(rig.host.Text(ids::kBeginUpdate), "Begin Update");
    EXPECT_TRUE(rig.host.Enabled(ids::kBeginUpdate));
}

void ExpectFailure(const UpdateRig& rig, const std::string& headline) {
    ASSERT_NE(rig.LastBox(), nullptr);
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Error");
    EXPECT_EQ(rig.LastBox()->icon, MessageIcon::Exclamation);
    EXPECT_EQ(rig.LastBox()->text.substr(0, headline.size() + 2), headline + "\n\n");
    EXPECT_NE(rig.LastBox()->text.find("Firmware update terminated."), std::string::npos);
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "Firmware update failed");
    EXPECT_EQ(rig.settings.writes, 0);
    EXPECT_FALSE(rig.module.endMarkerSeen);
    ExpectSessionEnded(rig);
}

TEST(Transfer, SendsEveryPageAndTheEndMarkerAndSavesThePort) {
    UpdateRig rig(600);  // three pages, the last one padded
    RunUpdate(rig);

    ASSERT_EQ(rig.module.pagesAccepted.size(), 3U);
    std::vector<std::uint8_t> received;
    for (const auto& page : rig.module.pagesAccepted) {
        received.insert(received.end(), page.begin(), page.end());
    }
    std::vector<std::uint8_t> expected = rig.Firmware();
    expected.resize(768, 0xFF);
    EXPECT_EQ(received, expected);
    EXPECT_EQ(rig.module.addresses, (std::vector<std::uint32_t>{0, 256, 512}));
    EXPECT_EQ(rig.module.badChecksums, 0);
    EXPECT_TRUE(rig.module.endMarkerSeen);

    EXPECT_EQ(rig.settings.values["Settings/ComPort"], 3);
    ASSERT_EQ(rig.host.messageBoxes.size(), 1U);
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Complete");
    EXPECT_EQ(rig.LastBox()->icon, MessageIcon::Information);
    EXPECT_EQ(rig.LastBox()->text,
              "The " + kProduct + " firmware has been successfully updated.     ");
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), kProduct + " firmware successfully updated");
    EXPECT_EQ(rig.host.Text(ids::kBootLoaderLine), "Boot loader version  =  VR-VMM-KT76");
    EXPECT_EQ(rig.host.Text(ids::kProgressLine), "Sending firmware page  3  of  3");
    EXPECT_EQ(rig.host.repaints, 1);  // before the first page only
    EXPECT_EQ(rig.host.paintsDispatched, 3);
    ExpectSessionEnded(rig);
}

TEST(Transfer, FourRepeatsOfAPageSucceedAndAFifthFails) {
    UpdateRig rig(600);
    rig.module.pageReply = [](std::size_t page, int send) -> std::optional<std::uint8_t> {
        return page == 1 && send <= 4 ? '@' : '!';
    };
    struct Resends : ISessionEvents {
        void OnPageResent(std::uint64_t page) override { pages.push_back(page); }
        std::vector<std::uint64_t> pages;
    } repeated;
    rig.dlg.AddListener(repeated);
    RunUpdate(rig);
    EXPECT_EQ(rig.module.sendsPerPage, (std::vector<int>{1, 5, 1}));
    EXPECT_EQ(repeated.pages, (std::vector<std::uint64_t>{2, 2, 2, 2}));  // the second page
    EXPECT_EQ(rig.host.paintsDispatched, 3);  // the repeated page is read and shown once
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Complete");

    UpdateRig failing(600);
    failing.module.pageReply = [](std::size_t page, int) -> std::optional<std::uint8_t> {
        return page == 1 ? '@' : '!';
    };
    RunUpdate(failing);
    EXPECT_EQ(failing.module.sendsPerPage, (std::vector<int>{1, 5}));
    ExpectFailure(failing, "Invalid ready response from the " + kProduct + ".     ");
}

// Frames of one send follow each other without a pause; a frame of 86 data
// bytes (108 on the line) is always followed by the rest of its send.
bool ContinuesItsSend(const MemorySerialDevice::WriteRecord& frame) {
    return frame.bytes.size() == 108 && frame.bytes[0] == '<';
}

TEST(Transfer, PausesAreGapsOnALineThatSendsAtItsSpeed) {
    UpdateRig rig(1000);  // four pages
    rig.device.sendsAtLineSpeed = true;
    RunUpdate(rig);
    ASSERT_EQ(rig.LastBox()->caption, "Firmware Update Complete");
    ASSERT_EQ(rig.module.pagesAccepted.size(), 4U);

    const auto& writes = rig.device.writes;
    ASSERT_GT(writes.size(), 4U + 4 * 5);
    // The first command at 9600 bit/s: 6 bytes of 10 bits take 6.25 ms; a full
    // data frame at 38400 bit/s 28.125 ms.
    EXPECT_EQ(writes[0].endTick - writes[0].tick, 7U);
    std::size_t dataFrames = 0;
    for (std::size_t i = 0; i + 1 < writes.size(); ++i) {
        const auto& sent = writes[i];
        const auto& next = writes[i + 1];
        if (ContinuesItsSend(sent)) {
            EXPECT_EQ(sent.endTick - sent.tick, 29U);
            ++dataFrames;
            continue;
        }
        // Raw base-station commands are each followed by at least 200 ms and a purge of 10.
        const std::uint32_t pause = sent.bytes[0] == '<' && sent.bytes[1] != '$' ? 210 : 20;
        EXPECT_GE(next.tick - sent.endTick, pause)
            << "between write " << i << " and the next, which starts at " << next.tick;
    }
    EXPECT_EQ(dataFrames, 8U);
}

TEST(Transfer, AReplyAlreadyWaitingBeforeAPageIsDiscarded) {
    UpdateRig rig(1000);
    // A noisy line doubles the acceptance of page 0; the module wants page 1 again.
    rig.module.pageReply = [&rig](std::size_t page, int send) -> std::optional<std::uint8_t> {
        if (page == 0) {
            rig.device.Feed("!");
        }
        return page == 1 && send == 1 ? '@' : '!';
    };
    RunUpdate(rig);

    EXPECT_EQ(rig.module.sendsPerPage, (std::vector<int>{1, 2, 1, 1}));
    std::vector<std::uint8_t> received;
    for (const auto& page : rig.module.pagesAccepted) {
        received.insert(received.end(), page.begin(), page.end());
    }
    std::vector<std::uint8_t> expected = rig.Firmware();
    expected.resize(1024, 0xFF);
    EXPECT_EQ(received, expected);
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Complete");
    EXPECT_NE(std::find(rig.host.logLines.begin(), rig.host.logLines.end(),
                        "Input discarded before page 2 was sent: 21"),
              rig.host.logLines.end());
}

TEST(Transfer, AnEndMarkerThatCannotBeSentIsAFailure) {
    UpdateRig rig(600);
    // The line dies once the last page is accepted: nothing more goes out.
    bool dead = false;
    rig.device.refuseWrite = [&dead](const std::vector<std::uint8_t>& bytes) {
        const std::vector<std::uint8_t> marker{0xFF, 0xFF, 0xFF, 0xFF};
        dead = dead ||
               (bytes.size() == 26 && std::equal(marker.begin(), marker.end(), bytes.begin() + 20));
        return dead;
    };
    RunUpdate(rig);

    ASSERT_TRUE(dead);
    ASSERT_EQ(rig.module.pagesAccepted.size(), 3U);
    ASSERT_EQ(rig.host.messageBoxes.size(), 1U);
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Error");
    EXPECT_EQ(rig.LastBox()->text.rfind("No response from the " + kProduct + ".\n\n", 0), 0U);
    EXPECT_TRUE(rig.LastBox()->text.ends_with("\n\nSerial port COM3 is no longer available."))
        << rig.LastBox()->text;
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "Firmware update failed");
    EXPECT_EQ(rig.settings.writes, 0);
    // The release was still tried, and the session ended as every session does.
    const auto lastWrite =
        std::find_if(rig.device.events.rbegin(), rig.device.events.rend(),
                     [](const auto& e) { return e.kind == MemorySerialDevice::EventKind::Write; });
    ASSERT_NE(lastWrite, rig.device.events.rend());
    EXPECT_FALSE(lastWrite->ok);
    EXPECT_EQ(rig.device.events.back().kind, MemorySerialDevice::EventKind::Close);
    EXPECT_FALSE(rig.PageImageExists());
    EXPECT_EQ(rig.host.Text(ids::kBeginUpdate), "Begin Update");
}

// Where the line goes away during the transfer, and the headline that then stands.
struct LostLineCase {
    const char* name;
    // True for the write at which the line is gone: this one and every later one fail.
    std::function<bool(const std::vector<std::uint8_t>& frame, const MemorySerialDevice& sent,
                       const ModulePeer& module)>
        diesAt;
    std::string headline;
    std::size_t pagesAccepted;
};

void PrintTo(const LostLineCase& c, std::ostream* os) {
    *os << c.name;
}

class LostLine : public ::testing::TestWithParam<LostLineCase> {};

TEST_P(LostLine, EndsTheTransferAtTheFirstFailedWriteAndSaysThePortIsGone) {
    UpdateRig rig(600);
    std::optional<std::uint32_t> diedAt;
    rig.device.refuseWrite = [&](const std::vector<std::uint8_t>& bytes) {
        if (!diedAt && GetParam().diesAt(bytes, rig.device, rig.module)) {
            diedAt = rig.clock.Now();
        }
        return diedAt.has_value();
    };
    RunUpdate(rig);

    ASSERT_TRUE(diedAt.has_value());
    ExpectLostLineFailure(rig, GetParam().headline);
    EXPECT_EQ(rig.module.pagesAccepted.size(), GetParam().pagesAccepted);

    // Nothing more was tried after the failed write but the release.
    using Kind = MemorySerialDevice::EventKind;
    const auto firstFailed =
        std::find_if(rig.device.events.begin(), rig.device.events.end(),
                     [](const auto& e) { return e.kind == Kind::Write && !e.ok; });
    ASSERT_NE(firstFailed, rig.device.events.end());
    EXPECT_EQ(std::count_if(firstFailed, rig.device.events.end(),
                            [](const auto& e) { return e.kind == Kind::Write; }),
              2);
    // No wait for a reply that cannot come: the release's own pause, not a time-out.
    EXPECT_LT(rig.device.events.back().tick - *diedAt, 1000U);
}

// The frame that carries `data` as its first data bytes.
bool FrameStartsWith(const std::vector<std::uint8_t>& frame,
                     const std::vector<std::uint8_t>& data) {
    return frame.size() >= 20 + data.size() &&
           std::equal(data.begin(), data.end(), frame.begin() + 20);
}

INSTANTIATE_TEST_SUITE_P(
    DuringTheTransfer, LostLine,
    ::testing::Values(
        LostLineCase{"AtTheTargetIdentification",
                     [](const auto& frame, const auto&, const auto&) {
                         return FrameStartsWith(frame, {'K', 'T', '7', '6'});
                     },
                     "No response from the " + kProduct + "." +
                         "\n\nThis procedure is trying to update a Vantor or DO-232 R2 Mobile "
                         "Module with the KT7.6 Radio Module.",
                     0},
        LostLineCase{
            "AtAPageAddress",
            [](const auto& frame, const auto&, const auto&) {
                return FrameStartsWith(frame, {0x00, 0x00, 0x01, 0x00}) && frame.size() == 26;
            },
            "No response from the " + kProduct + ".", 1},
        // The second of the page's three data frames: the third and the checksum stay unsent.
        LostLineCase{"InThePageData",
                     [](const auto& frame, const auto& sent, const auto&) {
                         const auto& writes = sent.writes;
                         return frame.size() == 108 && writes.size() >= 2 &&
                                writes.back().bytes.size() == 108 &&
                                FrameStartsWith(writes[writes.size() - 2].bytes, {0, 0, 1, 0});
                     },
                     "No response from the " + kProduct + ".", 1},
        LostLineCase{"AtAChecksum",
                     [](const auto& frame, const auto&, const auto& module) {
                         return module.pagesAccepted.size() == 2 && frame.size() == 23;
                     },
                     "No response from the " + kProduct + ".", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Transfer, ALineGoneWhileAReplyIsAwaitedEndsTheWaitAtOnce) {
    UpdateRig rig(600);
    // Every frame of page 2 went out; then the adapter is pulled.
    auto peer = rig.device.onWrite;
    std::optional<std::uint32_t> goneAt;
    rig.device.onWrite = [&](MemorySerialDevice& device, const std::vector<std::uint8_t>& bytes) {
        peer(device, bytes);
        if (!goneAt && rig.module.addresses.size() == 2) {
            goneAt = rig.clock.Now();
            device.Vanish();
        }
    };
    rig.module.pageReply = [](std::size_t page, int) -> std::optional<std::uint8_t> {
        return page == 1 ? std::nullopt : std::optional<std::uint8_t>('!');
    };
    RunUpdate(rig);

    ASSERT_TRUE(goneAt.has_value());
    ExpectLostLineFailure(rig, "No response from the " + kProduct + ".");
    EXPECT_LT(rig.device.events.back().tick - *goneAt, 1000U);
}

struct FailureCase {
    const char* name;
    std::function<void(ModulePeer&)> arrange;
    std::string headline;
    bool bootLoaderLineShown;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class TransferFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TransferFailures, EndTheSessionAndReportTheirHeadline) {
    UpdateRig rig(600);
    GetParam().arrange(rig.module);
    RunUpdate(rig);
    ExpectFailure(rig, GetParam().headline);
    EXPECT_EQ(rig.host.Text(ids::kBootLoaderLine).empty(), !GetParam().bootLoaderLineShown);
}

const std::string kHint =
    "\n\nThis procedure is trying to update a Vantor or DO-232 R2 Mobile Module with the KT7.6 "
    "Radio Module.";

INSTANTIATE_TEST_SUITE_P(
    EveryEnding, TransferFailures,
    ::testing::Values(
        FailureCase{"NoIdentification", [](ModulePeer& m) { m.identification = ""; },
                    "No response from the " + kProduct + "." + kHint, false},
        FailureCase{"IdentificationWithoutCarriageReturn",
                    [](ModulePeer& m) { m.identification = "VR-VMM-KT76"; },
                    "No response from the " + kProduct + "." + kHint, false},
        FailureCase{"LowerCaseIdentification",
                    [](ModulePeer& m) { m.identification = "vr-vmm-kt76\r"; },
                    "Invalid version response from the " + kProduct + ".     ", false},
        FailureCase{"ShortIdentification", [](ModulePeer& m) { m.identification = "VR-VMM-KT7\r"; },
                    "Invalid version response from the " + kProduct + ".     ", false},
        FailureCase{"LongIdentification",
                    [](ModulePeer& m) { m.identification = "VR-VMM-KT76-EXTRA-LONG-LINE\r"; },
                    "Invalid version response from the " + kProduct + ".     ", false},
        FailureCase{"LineFeedAfterIdentification",
                    [](ModulePeer& m) { m.identification = "VR-VMM-KT76\r\n"; },
                    "Invalid ready response from the " + kProduct + ".     ", true},
        FailureCase{"NoReadyByte", [](ModulePeer& m) { m.readyByte.reset(); },
                    "No ready response from the " + kProduct + ".     ", true},
        FailureCase{"WrongReadyByte", [](ModulePeer& m) { m.readyByte = '?'; },
                    "Invalid ready response from the " + kProduct + ".     ", true},
        FailureCase{"NoReplyToAPage",
                    [](ModulePeer& m) {
                        m.pageReply = [](std::size_t page, int) -> std::optional<std::uint8_t> {
                            if (page == 1) {
                                return std::nullopt;
                            }
                            return '!';
                        };
                    },
                    "No response from the " + kProduct + ".", true},
        FailureCase{"OtherReplyToAPage",
                    [](ModulePeer& m) {
                        m.pageReply = [](std::size_t, int) -> std::optional<std::uint8_t> {
                            return 'X';
                        };
                    },
                    "Invalid ready response from the " + kProduct + ".     ", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Another process can neither remove nor write the image a Windows session
// holds (it is open without sharing): these are POSIX's ways in.
#ifndef _WIN32
TEST(Transfer, OnlyThePageImageAsBuiltIsEverSent) {
    std::vector<std::uint8_t> expected = UpdateRig(600).Firmware();
    expected.resize(768, 0xFF);

    // Its name removed by someone else: the session still holds the image.
    UpdateRig removed(600);
    removed.Init();
    removed.BeginUpdate();
    std::filesystem::remove(removed.PageImagePath());
    removed.TickUntilIdle();
    std::vector<std::uint8_t> received;
    for (const auto& page : removed.module.pagesAccepted) {
        received.insert(received.end(), page.begin(), page.end());
    }
    EXPECT_EQ(received, expected);
    EXPECT_EQ(removed.LastBox()->caption, "Firmware Update Complete");

    // Page 2 overwritten by another process while page 1 is on its way: the
    // changed page never leaves, and the session ends as for an unreadable image.
    UpdateRig written(600);
    written.module.pageReply = [&written](std::size_t page, int) -> std::optional<std::uint8_t> {
        if (page == 0) {
            std::fstream image(written.PageImagePath(),
                               std::ios::in | std::ios::out | std::ios::binary);
            image.seekp(256);
            image.write(std::string(256, 'X').data(), 256);
        }
        return '!';
    };
    RunUpdate(written);
    ASSERT_NE(written.LastBox(), nullptr);
    EXPECT_EQ(written.LastBox()->text,
              "Unable to open the temporary firmware file.               ");
    EXPECT_EQ(written.LastBox()->caption, "Firmware Update Error");
    EXPECT_EQ(written.LastBox()->icon, MessageIcon::None);
    EXPECT_EQ(written.host.Text(ids::kStatusLine), "");
    EXPECT_EQ(written.module.addresses, (std::vector<std::uint32_t>{0}));
    EXPECT_FALSE(written.module.endMarkerSeen);
    ExpectSessionEnded(written);
}
#endif

TEST(Transfer, FirmwareReplacedSinceArmingIsSentAsTheLineShowsIt) {
    UpdateRig rig(600);
    rig.Init();
    rig.BeginUpdate();
    const std::string before = rig.host.Text(ids::kFirmwareFileLine);
    // A new file under the same name, of another length and content.
    {
        std::ofstream replacement(rig.programDir / "module.new", std::ios::binary);
        replacement << std::string(300, 'N');
    }
    std::filesystem::rename(rig.programDir / "module.new", rig.programDir / "module.bin");
    std::filesystem::last_write_time(
        rig.programDir / "module.bin",
        std::filesystem::file_time_type::clock::now() + std::chrono::hours(30));
    rig.TickUntilIdle();

    std::vector<std::uint8_t> received;
    for (const auto& page : rig.module.pagesAccepted) {
        received.insert(received.end(), page.begin(), page.end());
    }
    // Made at its full size: the cross compiler warns wrongly about a resize here.
    std::vector<std::uint8_t> expected(512, 0xFF);
    std::fill_n(expected.begin(), 300, 'N');
    EXPECT_EQ(received, expected);
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Complete");
    EXPECT_NE(rig.host.Text(ids::kFirmwareFileLine), before);
    ExpectSessionEnded(rig);
}

TEST(Transfer, FirmwareGoneAtTheStartEndsTheSessionBeforeItsMessage) {
    UpdateRig rig(600);
    rig.Init();
    rig.BeginUpdate();
    std::filesystem::remove(rig.programDir / "module.bin");
    std::size_t writesAtMessage = 0;
    rig.host.onMessageBox = [&](const MemoryWindowHost::Box&) {
        writesAtMessage = rig.device.writes.size();
        EXPECT_FALSE(rig.device.IsOpen());
    };
    rig.TickUntilIdle();
    ASSERT_NE(rig.LastBox(), nullptr);
    EXPECT_EQ(rig.LastBox()->text.rfind("Unable to open the firmware hex file:", 0), 0U);
    EXPECT_FALSE(rig.module.identified);
    EXPECT_EQ(writesAtMessage, rig.device.writes.size());
    EXPECT_EQ(rig.LastWrite(), kRelease);
    EXPECT_TRUE(rig.host.Enabled(2002));  // the other port's button is usable again
}

TEST(Transfer, OperatorInterruptEndsWithAFailureReport) {
    UpdateRig rig(600);
    int asked = 0;
    rig.dlg.transfer.transferInterruptRequested = [&asked] { return ++asked > 50; };
    rig.module.pageReply = [](std::size_t, int) -> std::optional<std::uint8_t> {
        return std::nullopt;  // the transfer waits on the first page
    };
    RunUpdate(rig);
    ExpectFailure(rig, "The firmware update was interrupted by the operator.     ");
}

}  // namespace
}  // namespace vorenta::test
