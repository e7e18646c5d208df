#include "platform/posix/PosixLinkOpener.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/TempFolder.h"

namespace vorenta {
namespace {

namespace fs = std::filesystem;

// A stand-in opener that writes its arguments, one a line, to a file.
class PosixLinkOpenerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        script = dir / "opener";
        out = dir / "args";
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                              << (dir / "partial").string() << "\nmv " << (dir / "partial").string()
                              << " " << out.string() << "\n";
        fs::permissions(script, fs::perms::owner_all);
    }

    std::string WaitForArgs() {
        for (int i = 0; i < 200 && !fs::exists(out); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::ifstream in(out);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    TempFolder tmp;
    const fs::path dir = tmp.path();
    fs::path script;
    fs::path out;
};

TEST_F(PosixLinkOpenerTest, TargetArrivesAsOneArgumentUntouchedByAShell) {
    PosixLinkOpener opener(script.string());
    const std::string target = "mailto:sales@example.com?Subject=Firmware Update Program;$(id)`x`";
    EXPECT_TRUE(opener.OpenLink(target));
    EXPECT_EQ(WaitForArgs(), target + "\n");
}

TEST_F(PosixLinkOpenerTest, MissingOpenerOrOptionLikeTargetIsRefused) {
    PosixLinkOpener missing((dir / "no-such-opener").string());
    EXPECT_FALSE(missing.OpenLink("http://www.example.com"));
    PosixLinkOpener opener(script.string());
    EXPECT_FALSE(opener.OpenLink("--manual"));
    EXPECT_FALSE(opener.OpenLink(""));
}

}  // namespace
}  // namespace vorenta
