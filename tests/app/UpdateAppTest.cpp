#include "app/UpdateApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorenta {
namespace {

// Records what start-up asked for and what the window was handed.
class RecordingPlatform : public IAppPlatform {
  public:
    void InitUserInterface() override { calls.push_back("ui"); }
    void SetRegistryKey(std::string_view company, std::string_view application) override {
        calls.push_back("settings " + std::string(company) + "/" + std::string(application));
    }
    std::string CommandLine() override { return commandLine; }
    char PathSeparator() const override { return '/'; }
    std::string TempFolder() override { return tempFolder; }
    std::vector<std::string> Arguments() override { return arguments; }
    void RunMainWindow(CPLSM_UpdateApp& app) override {
        calls.push_back("window");
        seenPort = app.preferredPort;
        seenProgramDir = app.programDir;
        seenTempDir = app.tempDir;
    }

    std::string commandLine;
    std::string tempFolder;
    std::vector<std::string> arguments;
    std::vector<std::string> calls;
    int seenPort = 0;
    std::string seenProgramDir;
    std::string seenTempDir;
};

TEST(CPLSM_UpdateApp, HandsFoldersAndSwitchToTheWindowAndEnds) {
    RecordingPlatform platform;
    platform.commandLine = "\"/opt/vorenta/bin/vorenta-update\"";
    platform.tempFolder = "/var/tmp";
    platform.arguments = {"--verbose", "/C3", "/C200"};
    CPLSM_UpdateApp app(platform, "vorenta-update");

    EXPECT_FALSE(app.InitInstance());

    const std::vector<std::string> expected{"ui", "settings Harwen Systems/vorenta-update",
                                            "window"};
    EXPECT_EQ(platform.calls, expected);
    EXPECT_EQ(platform.seenPort, 3);
    EXPECT_EQ(platform.seenProgramDir, "/opt/vorenta/bin/");
    EXPECT_EQ(platform.seenTempDir, "/var/tmp/");
}

TEST(CPLSM_UpdateApp, NoSwitchLeavesThePortUnset) {
    RecordingPlatform platform;
    platform.commandLine = "vorenta-update";
    platform.tempFolder = "/tmp/";
    CPLSM_UpdateApp app(platform, "vorenta-update");
    app.InitInstance();
    EXPECT_EQ(platform.seenPort, -1);
    EXPECT_EQ(platform.seenProgramDir, "");
    EXPECT_EQ(platform.seenTempDir, "/tmp/");
}

}  // namespace
}  // namespace vorenta
