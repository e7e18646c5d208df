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

}  // namespace
}  // namespace vorenta::test
