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

#ifndef _WIN32  // Windows allows no control character in a file name
TEST(LogListing, NamesWithControlCharactersNeverReachTheTerminalWhole) {
    const TempFolder temp("vorenta-list-");
    NativeLogFolder folder(temp.path().string());
    SessionLogStore store(folder);
    std::ofstream(temp.path() / "2026-03-25_09-00-00_vorenta-x\x1b]0;owned\x07_COM4.log")
        << "header\n";
    // A line feed in a name must not forge a line of the listing.
    std::ofstream(temp.path() / "2026-03-24_09-00-00_vorenta-y\nsuccess    fake_COM4.log") << "h\n";
    const std::string listing = SessionLogListing(store, 20);
    EXPECT_EQ(listing.find('\x1b'), std::string::npos) << listing;
    EXPECT_NE(listing.find("unfinished 2026-03-25_09-00-00_vorenta-x?]0;owned?_COM4.log\n"),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("unfinished 2026-03-24_09-00-00_vorenta-y?success    fake_COM4.log\n"),
              std::string::npos)
        << listing;
}
#endif

TEST(LogListing, AFolderThatCannotBeListedSaysWhy) {
    const TempFolder temp("vorenta-list-");
    // Not made yet: nothing wrong, there are just no logs.
    NativeLogFolder missing((temp.path() / "state" / "logs").string());
    EXPECT_EQ(SessionLogStore(missing).ListProblem(), "");
    std::ofstream(temp.path() / "state") << "a file where a folder should be";
    NativeLogFolder blocked((temp.path() / "state" / "logs").string());
    const std::string problem = SessionLogStore(blocked).ListProblem();
    EXPECT_NE(problem, "");
    EXPECT_NE(problem.find((temp.path() / "state").string()), std::string::npos) << problem;
    NativeLogFolder usable(temp.path().string());
    EXPECT_EQ(SessionLogStore(usable).ListProblem(), "");
}

}  // namespace
}  // namespace vorenta
