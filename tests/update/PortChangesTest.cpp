// The port buttons following ports plugged in and pulled out while the window
// is idle, and never during a session.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "UpdateRig.h"

namespace vorenta::test {
namespace {

// A watch that says what the test tells it, once.
struct FakePortWatch : IPortWatch {
    bool PortsChanged() override { return std::exchange(changed, false); }
    bool changed = false;
};

constexpr int kCom3 = 2001;  // slots in order of COM number
constexpr int kCom7 = 2002;
constexpr int kThirdSlot = 2003;

int Checked(const UpdateRig& rig) {
    return rig.host.GetCheckedRadioButton(ids::kFirstPortButton, ids::kLastPortButton);
}

TEST(PortChanges, APluggedAdapterAppearsAndTheOperatorsChoiceStays) {
    UpdateRig rig;
    rig.Init();
    ASSERT_FALSE(rig.host.Visible(kThirdSlot));
    rig.host.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, kCom7);

    rig.ports.Add(9, "/dev/ttyFAKE9");
    rig.dlg.OnPortsChanged();
    EXPECT_TRUE(rig.host.Visible(kThirdSlot));
    EXPECT_EQ(rig.host.Text(kThirdSlot), "COM9");
    EXPECT_EQ(Checked(rig), kCom7);
    EXPECT_TRUE(rig.host.Enabled(ids::kBeginUpdate));
    EXPECT_EQ(rig.dlg.ports.GetSelectedPortNumber(), 7);
    // As after "Refresh Serial Ports": the device behind the new port is in the log.
    EXPECT_NE(std::find(rig.host.logLines.begin(), rig.host.logLines.end(), "COM9 = /dev/ttyFAKE9"),
              rig.host.logLines.end());
}

TEST(PortChanges, APulledCheckedPortGoesAndTheRefreshChoosesAgain) {
    UpdateRig rig;
    rig.Init();
    rig.host.CheckRadioButton(ids::kFirstPortButton, ids::kLastPortButton, kCom7);

    rig.ports = StaticPortTable({{3, "/dev/ttyFAKE3"}});
    rig.dlg.OnPortsChanged();
    EXPECT_TRUE(rig.host.Visible(kCom3));
    EXPECT_FALSE(rig.host.Visible(kCom7));
    EXPECT_EQ(Checked(rig), kCom3);  // no saved port: the first

    // The last one pulled: nothing checked, nothing to begin.
    rig.ports = StaticPortTable();
    rig.dlg.OnPortsChanged();
    EXPECT_FALSE(rig.host.Visible(kCom3));
    EXPECT_EQ(rig.dlg.ports.GetSelectedPortNumber(), PortSelection::kNoPort);
    EXPECT_FALSE(rig.host.Enabled(ids::kBeginUpdate));
}

TEST(PortChanges, AWatchIsAskedOnEveryTickAndNothingMovesWithoutAChange) {
    UpdateRig rig;
    FakePortWatch watch;
    rig.dlg.WatchPorts(watch);
    rig.Init();
    rig.host.SetDlgItemText(ids::kStatusLine, "left from before");

    rig.ports.Add(9, "/dev/ttyFAKE9");
    rig.clock.Advance(500);
    rig.host.TimerTick();
    EXPECT_FALSE(rig.host.Visible(kThirdSlot));  // nobody said so yet
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "left from before");

    watch.changed = true;
    rig.clock.Advance(500);
    rig.host.TimerTick();
    EXPECT_TRUE(rig.host.Visible(kThirdSlot));
    EXPECT_EQ(rig.host.Text(ids::kStatusLine), "");  // as the refresh button leaves it
}

TEST(PortChanges, DuringASessionNothingMovesUntilItEnds) {
    UpdateRig rig;
    rig.module.answerAtPoll = 1000;
    FakePortWatch watch;
    rig.dlg.WatchPorts(watch);
    rig.Init();
    rig.BeginUpdate();
    ASSERT_EQ(rig.dlg.session.updateActive, 1);

    rig.ports.Add(9, "/dev/ttyFAKE9");
    rig.dlg.OnPortsChanged();
    watch.changed = true;
    for (int i = 0; i < 3; ++i) {
        rig.clock.Advance(500);
        rig.host.TimerTick();
    }
    EXPECT_FALSE(rig.host.Visible(kThirdSlot));
    EXPECT_FALSE(rig.host.Enabled(kCom7));  // still only the session's own port
    EXPECT_EQ(rig.host.Text(ids::kBeginUpdate), "Cancel Update");
    EXPECT_FALSE(rig.host.Enabled(ids::kRefreshPorts));

    rig.BeginUpdate();  // "Cancel Update"
    rig.clock.Advance(500);
    rig.host.TimerTick();
    EXPECT_TRUE(rig.host.Visible(kThirdSlot));
    EXPECT_TRUE(rig.host.Enabled(kCom7));
    EXPECT_EQ(Checked(rig), kCom3);  // the session's port, still there
}

TEST(PortChanges, AChangeWhileTheOutcomeBoxIsUpWaitsForIt) {
    UpdateRig rig;
    rig.module.answerAtPoll = 2;
    rig.Init();
    bool shownWhileBoxUp = true;
    rig.host.onMessageBox = [&rig, &shownWhileBoxUp](const MemoryWindowHost::Box&) {
        rig.ports.Add(9, "/dev/ttyFAKE9");
        rig.dlg.OnPortsChanged();
        shownWhileBoxUp = rig.host.Visible(kThirdSlot);
    };
    rig.BeginUpdate();
    rig.TickUntilIdle();
    ASSERT_FALSE(rig.host.messageBoxes.empty());
    EXPECT_FALSE(shownWhileBoxUp);
    EXPECT_FALSE(rig.host.Visible(kThirdSlot));

    rig.clock.Advance(500);
    rig.host.TimerTick();
    EXPECT_TRUE(rig.host.Visible(kThirdSlot));
    EXPECT_EQ(Checked(rig), kCom3);
}

}  // namespace
}  // namespace vorenta::test
