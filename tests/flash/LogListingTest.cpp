#include "LogListing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/NativePlatform.h"
#include "tests/support/TempFolder.h"

namespace vorenta {
namespace {

namespace fs = std::filesystem;

TEST(LogListing, NewestFirstWithOutcomesAndHowManyAreLeftOut) {
    const TempFolder temp("vorenta-list-");
    const fs::path dir = temp.path();
    NativeLogFolder folder(dir.string());
    SessionLogStore store(folder);
    EXPECT_EQ(SessionLogListing(store, 20), "No session logs in " + dir.string() + "\n");

    for (int n = 1; n <= 25; ++n) {
        std::ofstream log(dir / SessionLogName({2026, 3, n, 9, 0, 0}, "vorenta-flash", 4));
        log << "header\n";
        if (n % 5 != 0) {  // every fifth session never finished
            log << "\noutcome:          " << (n % 2 == 0 ? "failure" : "success") << "\n";
        }
    }
    std::ofstream(dir / "readme.txt") << "not a log";

    std::istringstream listing(SessionLogListing(store, 20));
    std::vector<std::string> lines;
    for (std::string line; std::getline(listing, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 22U);
    EXPECT_EQ(lines[0], "Session logs in " + dir.string() + ", newest first:");
    EXPECT_EQ(lines[1], "unfinished 2026-03-25_09-00-00_vorenta-flash_COM4.log");
    EXPECT_EQ(lines[2], "failure    2026-03-24_09-00-00_vorenta-flash_COM4.log");
    EXPECT_EQ(lines[3], "success    2026-03-23_09-00-00_vorenta-flash_COM4.log");
    EXPECT_EQ(lines[20], "failure    2026-03-06_09-00-00_vorenta-flash_COM4.log");
    EXPECT_EQ(lines[21], "(5 older not shown)");
}

}  // namespace
}  // namespace vorenta
