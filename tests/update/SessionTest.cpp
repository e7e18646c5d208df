#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "UpdateRig.h"
#include "ui/Colours.h"

namespace vorenta::test {
namespace {

using Kind = MemorySerialDevice::EventKind;

const std::vector<std::uint8_t> kPollFrame{0x3C, 0x24, 0x3A, 0x50, 0x30, 0x31, 0x36, 0x41,
                                           0x8C, 0x11, 0xEE, 0xEE, 0xFF, 0xFF, 0x00, 0x00,
                                           0x22, 0x00, 0x46, 0x01, 0xC0, 0x00, 0x00};
const std::vector<std::uint8_t> kRelease{0x3C, 0x57};

std::string WrittenText(const MemorySerialDevice& device, std::size_t index) {
    const auto& bytes = device.writes.at(index).bytes;
    return {bytes.begin(), bytes.end()};
}

// The port buttons COM3 (slot 0, id 2001) and COM7 (slot 1, id 2002) are installed.
void ExpectIdleControls(const UpdateRig& rig) {
    const auto& host = rig.host;
    EXPECT_NE(host.Text(ids::kBeginUpdate), "Cancel Update");
    EXPECT_TRUE(host.Enabled(ids::kBeginUpdate));
    EXPECT_TRUE(host.Enabled(ids::IDCANCEL));
    EXPECT_TRUE(host.Enabled(ids::kRefreshPorts));
    EXPECT_TRUE(host.Enabled(ids::kContactInformation));
    EXPECT_TRUE(host.Enabled(2001));
    EXPECT_TRUE(host.Enabled(2002));
    EXPECT_TRUE(host.SystemMenuItemEnabled(ids::kSysCommandClose));
    EXPECT_TRUE(host.SystemMenuItemEnabled(ids::kSysCommandAbout));
    EXPECT_EQ(rig.dlg.session.updateActive, 0);
}

TEST(SessionArming, PreparesTheBaseAndLocksTheWindow) {
    UpdateRig rig;
    rig.Init();
    ASSERT_EQ(rig.host.GetCheckedRadioButton(2001, 2022), 2001);
    ASSERT_TRUE(rig.BeginUpdate());

    EXPECT_EQ(rig.device.openPath, "/dev/ttyFAKE3");
    EXPECT_EQ(rig.dlg.serialPort.GetPortNumber(), 3);
    ASSERT_EQ(rig.device.writes.size(), 4U);
    EXPECT_EQ(WrittenText(rig.device, 0), "<<$:U9");
    EXPECT_EQ(WrittenText(rig.device, 3), "<<RS<#C14");
    EXPECT_EQ(rig.device.settings.BaudRate, 38400U);
    EXPECT_TRUE(rig.PageImageExists());

    const auto& host = rig.host;
    EXPECT_EQ(rig.dlg.session.updateActive, 1);
    EXPECT_EQ(host.Text(ids::kBeginUpdate), "Cancel Update");
    EXPECT_TRUE(host.Enabled(ids::kBeginUpdate));
    EXPECT_FALSE(host.Enabled(ids::IDCANCEL));
    EXPECT_FALSE(host.Enabled(ids::kRefreshPorts));
    EXPECT_FALSE(host.Enabled(ids::kContactInformation));
    EXPECT_TRUE(host.Enabled(2001));   // the session's own port
    EXPECT_FALSE(host.Enabled(2002));  // every other one
    EXPECT_FALSE(host.SystemMenuItemEnabled(ids::kSysCommandClose));
    EXPECT_FALSE(host.SystemMenuItemEnabled(ids::kSysCommandAbout));
    EXPECT_EQ(rig.dlg.GetControlStyle(ids::kStatusLine).textColour, kEmphasisRed);
    EXPECT_EQ(rig.dlg.resultLineColour, kStepLineGreen);
    EXPECT_EQ(host.waitCursorDepth, 0);
}

TEST(SessionArming, PollsEveryTickUntilTheModuleAnswers) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;  // never, in this test
    rig.Init();
    rig.BeginUpdate();
    const std::size_t before = rig.device.writes.size();
    for (int i = 0; i < 6; ++i) {
        rig.clock.Advance(500);
        rig.host.TimerTick();
    }
    ASSERT_EQ(rig.device.writes.size(), before + 6);
    for (std::size_t i = before; i < rig.device.writes.size(); ++i) {
        EXPECT_EQ(rig.device.writes[i].bytes, kPollFrame);
    }
    EXPECT_EQ(rig.dlg.session.updateActive, 1);
    EXPECT_EQ(rig.module.polls, 6);
}

TEST(SessionArming, AnswerEndsTheSearchLeavesLaterBytesAndStillPolls) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    rig.Init();
    rig.BeginUpdate();
    rig.device.Feed(std::vector<std::uint8_t>{0x55, 0xD0, 0x33});
    const std::size_t before = rig.device.writes.size();

    rig.dlg.OnTimer(ids::kUpdateTimerId);
    EXPECT_EQ(rig.dlg.session.moduleAnswered, 1);
    EXPECT_EQ(rig.device.Pending(), 1U);  // 0x33 stays queued
    EXPECT_EQ(rig.host.PendingMessages(), 1U);
    ASSERT_EQ(rig.device.writes.size(), before + 1);
    EXPECT_EQ(rig.device.writes.back().bytes, kPollFrame);

    // Answered: later ticks change nothing until the posted message runs.
    rig.dlg.OnTimer(ids::kUpdateTimerId);
    EXPECT_EQ(rig.device.writes.size(), before + 1);
}

// What the session's listeners were shown, as the session log takes it.
struct ShownLines : ISessionEvents {
    void OnLineShown(std::string_view text) override { lines.emplace_back(text); }
    std::size_t Count(std::string_view text) const {
        return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), text));
    }
    std::vector<std::string> lines;
};

constexpr std::string_view kPromptOnCom3 =
    "Waiting for the Mobile Module on COM3: switch it to firmware update mode";

TEST(WaitingPrompt, BlinksFromArmingAndIsLoggedOnce) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    ShownLines shown;
    rig.dlg.AddListener(shown);
    rig.Init();
    rig.BeginUpdate();
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), kPromptOnCom3);
    EXPECT_EQ(rig.dlg.session.statusPromptText, kPromptOnCom3);

    // Shown for more than 1.5 s, hidden for more than 0.25 s, shown again.
    std::vector<std::string> seen;
    for (int i = 0; i < 12; ++i) {
        rig.clock.Advance(500);
        rig.host.TimerTick();
        seen.push_back(rig.host.Text(ids::kStatusLine));
    }
    EXPECT_EQ(seen[0], kPromptOnCom3);
    EXPECT_EQ(seen[1], kPromptOnCom3);
    const auto hidden = std::count(seen.begin(), seen.end(), "");
    EXPECT_GE(hidden, 2);
    EXPECT_LE(hidden, 4);
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_TRUE(seen[i] == kPromptOnCom3 || seen[i] == "") << seen[i];
        EXPECT_FALSE(seen[i].empty() && seen[i - 1].empty()) << "hidden twice at " << i;
    }
    EXPECT_EQ(shown.Count(kPromptOnCom3), 1U);
}

TEST(WaitingPrompt, NamesTheCheckedPortAndEndsWithTheSession) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    rig.Init();
    rig.host.CheckRadioButton(2001, 2022, 2002);  // COM7
    rig.BeginUpdate();
    EXPECT_EQ(rig.host.Text(ids::kStatusLine),
              "Waiting for the Mobile Module on COM7: switch it to firmware update mode");

    rig.BeginUpdate();  // "Cancel Update"
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "");
    EXPECT_EQ(rig.dlg.session.statusPromptText, "");
    // Idle ticks bring nothing back.
    rig.clock.Advance(3000);
    rig.host.TimerTick();
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "");
}

TEST(WaitingPrompt, GoesWhenTheModuleAnswersAndTheOutcomeStays) {
    UpdateRig rig;
    rig.module.answerAtPoll = 2;
    ShownLines shown;
    rig.dlg.AddListener(shown);
    rig.Init();
    rig.BeginUpdate();
    rig.TickUntilIdle();
    EXPECT_EQ(rig.dlg.session.statusPromptText, "");
    EXPECT_EQ(rig.host.Text(ids::kStatusLine),
              "Vorenta KT7.6 VMM & DO-232 R2 Mobile Module firmware successfully updated");
    // The prompt came before the module's identification, and never after it.
    const auto prompt = std::find(shown.lines.begin(), shown.lines.end(), kPromptOnCom3);
    const auto answer = std::find_if(shown.lines.begin(), shown.lines.end(), [](const auto& l) {
        return l.find("VR-VMM-KT76") != std::string::npos;
    });
    ASSERT_NE(prompt, shown.lines.end());
    ASSERT_NE(answer, shown.lines.end());
    EXPECT_LT(prompt, answer);
    EXPECT_EQ(std::count(answer, shown.lines.end(), std::string(kPromptOnCom3)), 0);
}

TEST(WaitingPrompt, AConsoleThatSaysItsOwnLeavesTheLineEmpty) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    rig.dlg.ShowWaitingPrompt(false);
    rig.Init();
    rig.BeginUpdate();
    for (int i = 0; i < 6; ++i) {
        rig.clock.Advance(500);
        rig.host.TimerTick();
        EXPECT_EQ(rig.host.Text(ids::kStatusLine), "");
    }
}

TEST(SessionCancel, ReleasesClosesDeletesAndRestores) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    rig.Init();
    rig.BeginUpdate();
    rig.clock.Advance(500);
    rig.host.TimerTick();
    ASSERT_TRUE(rig.BeginUpdate());  // "Cancel Update"

    EXPECT_EQ(rig.LastWrite(), kRelease);
    EXPECT_FALSE(rig.device.IsOpen());
    const auto& events = rig.device.events;
    ASSERT_EQ(events.back().kind, Kind::Close);
    EXPECT_GE(events.back().tick - rig.device.writes.back().tick, 200U);
    EXPECT_FALSE(rig.PageImageExists());
    ExpectIdleControls(rig);
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "");
    EXPECT_EQ(rig.settings.writes, 0);
    // A second click arms a new session from scratch.
    ASSERT_TRUE(rig.BeginUpdate());
    EXPECT_EQ(rig.dlg.session.updateActive, 1);
    EXPECT_TRUE(rig.PageImageExists());
}

TEST(SessionArming, PortThatCannotBeOpenedIsReportedAndNothingChanges) {
    UpdateRig rig;
    rig.Init();
    rig.device.busy = true;
    rig.BeginUpdate();
    ASSERT_EQ(rig.host.messageBoxes.size(), 1U);
    EXPECT_EQ(rig.LastBox()->text, "Unable to open serial port COM3     ");
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Error");
    EXPECT_EQ(rig.LastBox()->icon, MessageIcon::Exclamation);
    EXPECT_EQ(rig.device.openAttempts.size(), 2U);  // one retry after asking for the port
    EXPECT_TRUE(rig.device.writes.empty());
    ExpectIdleControls(rig);
}

TEST(SessionArming, MissingFirmwareStopsBeforeAnythingIsSentAndFreesThePort) {
    UpdateRig rig;
    rig.Init();
    std::filesystem::remove(rig.programDir / "module.bin");
    rig.BeginUpdate();
    ASSERT_EQ(rig.host.messageBoxes.size(), 1U);
    EXPECT_EQ(rig.LastBox()->text.rfind("Unable to open the firmware hex file:", 0), 0U);
    EXPECT_TRUE(rig.device.writes.empty());
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.host.Enabled(ids::kBeginUpdate));
    EXPECT_EQ(rig.dlg.session.updateActive, 0);
    // The firmware values stay, so a refresh once the file is back enables the button.
    EXPECT_EQ(rig.dlg.firmware.firmwareFileName, "module.bin");
}

TEST(SessionArming, EmptyFirmwareIsRefusedBeforeAnythingReachesTheModule) {
    UpdateRig rig(0);
    rig.Init();
    rig.BeginUpdate();
    ASSERT_FALSE(rig.host.messageBoxes.empty());
    EXPECT_NE(rig.LastBox()->text.find("firmware file is empty"), std::string::npos);
    EXPECT_EQ(rig.dlg.session.updateActive, 0);
    EXPECT_EQ(rig.module.polls, 0);
    EXPECT_EQ(rig.LastWrite(), kRelease);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.PageImageExists());
    ExpectIdleControls(rig);
}

TEST(SessionArming, UnbuildablePageImageCancelsBeforeAnyPoll) {
    UpdateRig rig;
    rig.Init();
    rig.dlg.pageImage.tempDir = (rig.root / "missing-folder/").string();
    rig.BeginUpdate();
    ASSERT_FALSE(rig.host.messageBoxes.empty());
    // The usual line, then the folder and the system's reason (its words differ by system).
    const std::string lead =
        "Unable to create the temporary firmware file.\n\nThe temporary folder " +
        rig.dlg.pageImage.tempDir + " cannot be used: ";
    const std::string& text = rig.host.messageBoxes.front().text;
    EXPECT_EQ(text.substr(0, lead.size()), lead);
    EXPECT_GT(text.size(), lead.size() + 1) << text;
    EXPECT_EQ(rig.module.polls, 0);
    EXPECT_EQ(rig.LastWrite(), kRelease);
    EXPECT_FALSE(rig.device.IsOpen());
    ExpectIdleControls(rig);
}

TEST(SessionWindow, DoneAndTheCloseCommandAreIgnoredWhileArmed) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    rig.Init();
    rig.BeginUpdate();
    rig.dlg.OnCommand(ids::IDCANCEL);  // Esc still reaches the window
    rig.dlg.OnSysCommand(ids::kSysCommandClose);
    EXPECT_FALSE(rig.host.endResult.has_value());
    EXPECT_TRUE(rig.device.IsOpen());

    rig.BeginUpdate();  // cancel
    rig.dlg.OnCommand(ids::IDCANCEL);
    ASSERT_TRUE(rig.host.endResult.has_value());
    EXPECT_EQ(*rig.host.endResult, ids::IDCANCEL);
}

TEST(SessionPolling, LineThatGoesAwayCancelsAndSaysThePortIsGone) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    rig.Init();
    rig.BeginUpdate();
    rig.TickUntilIdle(2);
    ASSERT_EQ(rig.dlg.session.updateActive, 1);
    rig.ports.Add(9, "/dev/ttyFAKE9");  // plugged in again under another name
    bool cancelledAtMessage = false;
    rig.host.onMessageBox = [&](const MemoryWindowHost::Box&) {
        cancelledAtMessage = !rig.device.IsOpen() && !rig.PageImageExists();
    };
    rig.device.Vanish();
    rig.TickUntilIdle(1);

    ASSERT_NE(rig.LastBox(), nullptr);
    EXPECT_EQ(rig.LastBox()->text,
              "Serial port COM3 is no longer available: the session was cancelled.     ");
    EXPECT_EQ(rig.LastBox()->caption, "Firmware Update Error");
    EXPECT_EQ(rig.LastBox()->icon, MessageIcon::Exclamation);
    EXPECT_TRUE(cancelledAtMessage);
    // The port list was read again.
    EXPECT_NE(std::find(rig.dlg.ports.portNumbers.begin(), rig.dlg.ports.portNumbers.end(), 9),
              rig.dlg.ports.portNumbers.end());
    ExpectIdleControls(rig);
    // No poll after the line went away.
    const int polls = rig.module.polls;
    rig.TickUntilIdle(3);
    EXPECT_EQ(rig.module.polls, polls);
}

TEST(SessionWindow, TerminationCancelsAnArmedSessionAndEndsTheWindow) {
    UpdateRig rig;
    bool terminate = false;
    rig.dlg.SetTerminationRequest([&terminate] { return terminate; });
    rig.module.answerAtPoll = 1000;
    rig.Init();
    rig.BeginUpdate();
    rig.TickUntilIdle(2);
    terminate = true;
    rig.TickUntilIdle(1);

    ASSERT_TRUE(rig.host.endResult.has_value());
    EXPECT_EQ(*rig.host.endResult, ids::IDCANCEL);
    EXPECT_EQ(rig.LastWrite(), kRelease);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.PageImageExists());
    EXPECT_TRUE(rig.host.messageBoxes.empty());
}

TEST(SessionWindow, TerminationDuringTheTransferEndsItThenTheWindowWithoutABox) {
    UpdateRig rig;
    bool terminate = false;
    rig.dlg.SetTerminationRequest([&terminate] { return terminate; });
    rig.module.pageReply = [&terminate](std::size_t page, int) -> std::optional<std::uint8_t> {
        terminate = terminate || page == 1;
        return '!';
    };
    rig.Init();
    rig.BeginUpdate();
    rig.TickUntilIdle();

    EXPECT_TRUE(rig.host.messageBoxes.empty());  // nobody is left to close one
    ASSERT_FALSE(rig.host.logLines.empty());
    EXPECT_EQ(rig.host.logLines.back().rfind("Firmware Update Error: The firmware update was "
                                             "interrupted",
                                             0),
              0U);
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "Firmware update failed");
    EXPECT_FALSE(rig.module.endMarkerSeen);
    EXPECT_EQ(rig.LastWrite(), kRelease);
    EXPECT_FALSE(rig.device.IsOpen());
    EXPECT_FALSE(rig.PageImageExists());
    // The window ends at the next tick, once no handler is under way.
    EXPECT_FALSE(rig.host.endResult.has_value());
    rig.clock.Advance(500);
    rig.host.TimerTick();
    EXPECT_EQ(rig.host.endResult, std::optional<int>(ids::IDCANCEL));
}

}  // namespace
}  // namespace vorenta::test
