// The per-user folders Linux programs keep their settings and logs in.
#include <gtest/gtest.h>

#include "platform/LogFolder.h"
#include "platform/linux/ConfigFolder.h"
#include "platform/linux/PortTableRoots.h"
#include "platform/linux/StateFolder.h"
#include "platform/linux/XdgSettingsStore.h"
#include "tests/support/ScopedEnv.h"

namespace vorenta {
namespace {

TEST(UserConfigFolder, FollowsXdgConfigHomeElseHome) {
    const ScopedEnv home("HOME", "/home/op");
    {
        const ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/cfg");
        EXPECT_EQ(UserConfigFolder("Harwen Systems"), "/srv/cfg/Harwen Systems");
        EXPECT_EQ(XdgSettingsStore("Harwen Systems", "PLSM_Update").FilePath(),
                  "/srv/cfg/Harwen Systems/PLSM_Update.ini");
        EXPECT_EQ(PortTableRoots::ForThisMachine().mapFile, "/srv/cfg/Harwen Systems/ports.conf");
    }
    for (const char* ignored : {"", "relative/cfg"}) {
        const ScopedEnv xdg("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(UserConfigFolder("Harwen Systems"), "/home/op/.config/Harwen Systems");
        EXPECT_EQ(XdgSettingsStore("Harwen Systems", "PLSM_Update").FilePath(),
                  "/home/op/.config/Harwen Systems/PLSM_Update.ini");
    }
}

TEST(SessionLogFolderPath, FollowsXdgStateHomeElseHome) {
    const ScopedEnv home("HOME", "/home/op");
    {
        const ScopedEnv xdg("XDG_STATE_HOME", "/srv/state");
        EXPECT_EQ(SessionLogFolderPath("Harwen Systems"), "/srv/state/Harwen Systems/logs");
    }
    for (const char* ignored : {"", "relative/state"}) {
        const ScopedEnv xdg("XDG_STATE_HOME", ignored);
        EXPECT_EQ(SessionLogFolderPath("Harwen Systems"),
                  "/home/op/.local/state/Harwen Systems/logs");
    }
}

}  // namespace
}  // namespace vorenta
