#include <gtest/gtest.h>

#include "FlashOptions.h"
#include "FlashSession.h"
#include "UpdateRig.h"

namespace vorenta::test {
namespace {

struct FlashRig : UpdateRig {
    using UpdateRig::UpdateRig;
    int Run(FlashSession::Config config) {
        FlashSession session(
            dlg, host, clock, [this] { return interrupts; },
            [this](const std::string& text) { said.push_back(text); });
        return session.Run(config);
    }
    int interrupts = 0;
    std::vector<std::string> said;
};

TEST(FlashSession, UpdatesThroughTheWindowLogic) {
    FlashRig rig;
    EXPECT_EQ(rig.Run({}), kExitUpdated);
    EXPECT_TRUE(rig.module.endMarkerSeen);
    EXPECT_EQ(rig.settings.values["Settings/ComPort"], 3);
}

TEST(FlashSession, NamedPortIsUsedAndAnUnknownOneRefused) {
    FlashRig rig;
    EXPECT_EQ(rig.Run({7, std::nullopt}), kExitUpdated);
    EXPECT_EQ(rig.device.openPath, "/dev/ttyFAKE7");

    FlashRig other;
    EXPECT_EQ(other.Run({9, std::nullopt}), kExitPortUnavailable);
    EXPECT_TRUE(other.device.openAttempts.empty());
}

TEST(FlashSession, ReportedFailureAndBusyPortHaveTheirStatus) {
    FlashRig failing;
    failing.module.readyByte = '?';
    EXPECT_EQ(failing.Run({}), kExitFailureReported);

    FlashRig busy;
    busy.device.busy = true;
    EXPECT_EQ(busy.Run({}), kExitPortUnavailable);

    FlashRig noFirmware;
    std::filesystem::remove(noFirmware.programDir / "Vorenta_KT76_MM_VMM_V2.txt");
    EXPECT_EQ(noFirmware.Run({}), kExitUsage);
}

TEST(FlashSession, GivingUpOrAnInterruptWhileWaitingCancels) {
    FlashRig rig;
    rig.module.answerAtPoll = 1000;
    EXPECT_EQ(rig.Run({std::nullopt, 3}), kExitGaveUp);
    EXPECT_EQ(rig.LastWrite(), (std::vector<std::uint8_t>{0x3C, 0x57}));
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.PageImageExists());
    EXPECT_GE(rig.module.polls, 5);

    FlashRig interrupted;
    interrupted.module.answerAtPoll = 1000;
    interrupted.interrupts = 1;
    EXPECT_EQ(interrupted.Run({}), kExitGaveUp);
    EXPECT_EQ(interrupted.LastWrite(), (std::vector<std::uint8_t>{0x3C, 0x57}));
    EXPECT_FALSE(interrupted.PageImageExists());
}

TEST(FlashSession, OneInterruptDuringTheTransferOnlyWarnsTwoStopIt) {
    FlashRig warned;
    warned.module.pageReply = [&warned](std::size_t page, int) -> std::optional<std::uint8_t> {
        if (page == 1) {
            warned.interrupts = 1;
        }
        return '!';
    };
    EXPECT_EQ(warned.Run({}), kExitUpdated);
    ASSERT_FALSE(warned.said.empty());
    EXPECT_NE(warned.said.back().find("Press Ctrl-C again"), std::string::npos);

    FlashRig stopped;
    stopped.module.pageReply = [&stopped](std::size_t page, int) -> std::optional<std::uint8_t> {
        if (page == 1) {
            stopped.interrupts = 2;
        }
        return page == 1 ? std::nullopt : std::optional<std::uint8_t>('!');
    };
    EXPECT_EQ(stopped.Run({}), kExitFailureReported);
    EXPECT_EQ(stopped.host.Text(ids::kStatusLine), "Firmware update failed");
    EXPECT_NE(stopped.LastBox()->text.find("interrupted by the operator"), std::string::npos);
    EXPECT_FALSE(stopped.module.endMarkerSeen);
}

TEST(FlashSession, TerminationStopsAtOnceWhereTheSecondCtrlCWould) {
    // While waiting: cancelled, exit 4.
    FlashRig waiting;
    waiting.module.answerAtPoll = 1000;
    waiting.interrupts = FlashSession::kStopNow;
    EXPECT_EQ(waiting.Run({}), kExitGaveUp);
    EXPECT_EQ(waiting.LastWrite(), (std::vector<std::uint8_t>{0x3C, 0x57}));
    EXPECT_FALSE(waiting.device.IsOpen());
    EXPECT_FALSE(waiting.PageImageExists());

    // During the transfer: no warning first, a failure report, exit 1.
    FlashRig transferring;
    transferring.module.pageReply = [&transferring](std::size_t page,
                                                    int) -> std::optional<std::uint8_t> {
        if (page == 0) {
            transferring.interrupts = FlashSession::kStopNow;
        }
        return '!';
    };
    EXPECT_EQ(transferring.Run({}), kExitFailureReported);
    EXPECT_NE(transferring.LastBox()->text.find("interrupted by the operator"), std::string::npos);
    for (const std::string& line : transferring.said) {
        EXPECT_EQ(line.find("Press Ctrl-C again"), std::string::npos);
    }
    EXPECT_EQ(transferring.LastWrite(), (std::vector<std::uint8_t>{0x3C, 0x57}));
    EXPECT_FALSE(transferring.device.IsOpen());
    EXPECT_FALSE(transferring.PageImageExists());
}

TEST(FlashSession, PortThatGoesAwayWhilePollingIsAPortFailure) {
    FlashRig rig;
    rig.module.answerAtPoll = 1000;
    int polls = 0;
    const auto peer = rig.device.onWrite;
    rig.device.onWrite = [&](MemorySerialDevice& device, const std::vector<std::uint8_t>& bytes) {
        peer(device, bytes);
        if (rig.module.polls > polls && (polls = rig.module.polls) == 2) {
            device.Vanish();
        }
    };
    EXPECT_EQ(rig.Run({}), kExitPortUnavailable);
    EXPECT_EQ(rig.LastBox()->text.rfind("Serial port COM3 is no longer available", 0), 0U);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.PageImageExists());
}

}  // namespace
}  // namespace vorenta::test
