#include <gtest/gtest.h>

#include "tests/ports/PortsTestSupport.h"

namespace vorenta::testing {
namespace {

constexpr std::uint32_t kHandoff = 0x8065;

class PortHandoff : public ::testing::Test {
  protected:
    WindowUnderTest w;
};

TEST_F(PortHandoff, MatchesVisibleTitledWindowsByPrefixIgnoringCase) {
    w.peers.AddWindow("HARWEN LINKSCOPE COM3");                    // 100: matches
    w.peers.AddWindow("Harwen Linkscope", false);                  // 101: hidden
    w.peers.AddWindow("Harwen Link");                              // 102: first eleven chars only
    w.peers.AddWindow("");                                         // 103: no title
    w.peers.AddWindow("harwen serial test program v2");            // 104: matches
    w.peers.AddWindow("Harwen Serial Test Progra");                // 105: one short
    w.peers.AddWindow("My Harwen Linkscope");                      // 106: not at the start
    w.peers.AddWindow(std::string(99, 'x') + "Harwen Linkscope");  // 107: beyond the buffer

    w.dlg.handoff.RequestPortRelease(3);

    ASSERT_EQ(w.peers.posts.size(), 2U);
    EXPECT_EQ(w.peers.posts[0].handle, 100U);
    EXPECT_EQ(w.peers.posts[1].handle, 104U);
    for (const auto& post : w.peers.posts) {
        EXPECT_EQ(post.message, kHandoff);
        EXPECT_EQ(post.wParam, 1001U);
        EXPECT_EQ(post.lParam, 3);
    }
    EXPECT_EQ(w.dlg.handoff.lentPort, 3);
    EXPECT_EQ(w.clock.sleeps, (std::vector<std::uint32_t>{1000}));
}

TEST_F(PortHandoff, NothingMatchedMeansNothingLentAndNoWait) {
    w.peers.AddWindow("Harwen Linkscope", false);
    w.peers.AddWindow("Terminal");
    w.dlg.handoff.RequestPortRelease(5);

    EXPECT_TRUE(w.peers.posts.empty());
    EXPECT_EQ(w.dlg.handoff.lentPort, -1);
    EXPECT_TRUE(w.clock.sleeps.empty());

    w.dlg.handoff.ReturnLentPort();
    EXPECT_TRUE(w.peers.posts.empty());
}

TEST_F(PortHandoff, GivesTheLentPortBackToEveryWindowOnce) {
    w.peers.AddWindow("Harwen Linkscope - COM9");
    w.peers.AddWindow("Harwen Serial Test Program");
    w.dlg.handoff.RequestPortRelease(9);
    ASSERT_EQ(w.dlg.handoff.lentPort, 9);
    w.peers.posts.clear();

    w.dlg.handoff.ReturnLentPort();
    ASSERT_EQ(w.peers.posts.size(), 2U);
    for (const auto& post : w.peers.posts) {
        EXPECT_EQ(post.message, kHandoff);
        EXPECT_EQ(post.wParam, 1002U);
        EXPECT_EQ(post.lParam, 9);
    }
    EXPECT_EQ(w.dlg.handoff.lentPort, -1);

    w.dlg.handoff.ReturnLentPort();  // a second call has nothing to give back
    EXPECT_EQ(w.peers.posts.size(), 2U);
}

TEST_F(PortHandoff, ReturnEndsWithNothingLentEvenWhenTheProgramHasGone) {
    w.peers.AddWindow("Harwen Linkscope");
    w.dlg.handoff.RequestPortRelease(2);
    w.peers.windows.clear();
    w.peers.posts.clear();

    w.dlg.handoff.ReturnLentPort();
    EXPECT_TRUE(w.peers.posts.empty());
    EXPECT_EQ(w.dlg.handoff.lentPort, -1);
}

}  // namespace
}  // namespace vorenta::testing
