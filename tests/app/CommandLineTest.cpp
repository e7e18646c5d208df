#include "app/CommandLine.h"

#ifndef _WIN32
#include "platform/posix/ProcessInfo.h"
#endif

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace vorenta {
namespace {

TEST(ProgramDirFromCommandLine, WindowsCommandLines) {
    // Quoted path followed by arguments: the folder of the quoted path.
    EXPECT_EQ(ProgramDirFromCommandLine(R"("C:\Program Files\Vorenta\PLSM_Update.exe" /C5)", '\\'),
              R"(C:\Program Files\Vorenta\)");
    // Unquoted, no arguments: the whole line is the path.
    EXPECT_EQ(ProgramDirFromCommandLine(R"(C:\Tools\PLSM_Update.exe)", '\\'), R"(C:\Tools\)");
    // Unquoted with a blank: the path ends at the blank.
    EXPECT_EQ(ProgramDirFromCommandLine(R"(C:\My Tools\Sub\PLSM_Update.exe /C3)", '\\'), R"(C:\)");
    // A bare name has no folder.
    EXPECT_EQ(ProgramDirFromCommandLine("PLSM_Update.exe /C3", '\\'), "");
    EXPECT_EQ(ProgramDirFromCommandLine("PLSM_Update", '\\'), "");
}

TEST(ProgramDirFromCommandLine, QuoteEdgeCases) {
    // White space after the opening quote is dropped with it.
    EXPECT_EQ(ProgramDirFromCommandLine("\"  C:\\A\\b.exe\"", '\\'), "C:\\A\\");
    // No closing quote: no path at all.
    EXPECT_EQ(ProgramDirFromCommandLine("\"C:\\A\\b.exe /C5", '\\'), "");
    EXPECT_EQ(ProgramDirFromCommandLine("", '\\'), "");
    EXPECT_EQ(ProgramDirFromCommandLine("\"\"", '\\'), "");
}

TEST(ProgramDirFromCommandLine, PosixExecutablePath) {
    const std::string line = CommandLineForExecutable("/opt/vorenta update/bin/vorenta-update");
    EXPECT_EQ(ProgramDirFromCommandLine(line, '/'), "/opt/vorenta update/bin/");
    EXPECT_EQ(ProgramDirFromCommandLine(CommandLineForExecutable("/vorenta-update"), '/'), "/");
    // A backslash is an ordinary character on POSIX.
    EXPECT_EQ(ProgramDirFromCommandLine(CommandLineForExecutable("/a\\b/c"), '/'), "/a\\b/");
}

#ifndef _WIN32
TEST(TempDirFromEnvironment, TrailingSlashAndFallback) {
    EXPECT_EQ(TempDirFromEnvironment(std::nullopt), "/tmp/");
    EXPECT_EQ(TempDirFromEnvironment(""), "/tmp/");
    EXPECT_EQ(TempDirFromEnvironment("/var/tmp"), "/var/tmp/");
    EXPECT_EQ(TempDirFromEnvironment("/run/user/1000/"), "/run/user/1000/");
}
#endif

TEST(ApplicationNameFromPath, BaseNameWithoutExtension) {
    EXPECT_EQ(ApplicationNameFromPath("/usr/bin/vorenta-update", '/'), "vorenta-update");
    EXPECT_EQ(ApplicationNameFromPath(R"(C:\Tools\PLSM_Update.exe)", '\\'), "PLSM_Update");
    EXPECT_EQ(ApplicationNameFromPath("/home/u/.hidden", '/'), ".hidden");
}

TEST(AtoiPrefix, FollowsAtoiWithoutOverflow) {
    EXPECT_EQ(AtoiPrefix("7x"), 7);
    EXPECT_EQ(AtoiPrefix("  \t+12"), 12);
    EXPECT_EQ(AtoiPrefix("-5"), -5);
    EXPECT_EQ(AtoiPrefix("x5"), 0);
    EXPECT_EQ(AtoiPrefix(""), 0);
    EXPECT_EQ(AtoiPrefix("- 5"), 0);
    EXPECT_EQ(AtoiPrefix("99999999999999999999"), INT_MAX);
    EXPECT_EQ(AtoiPrefix("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(AtoiPrefix("-2147483648"), INT_MIN);
}

std::int8_t Parse(const std::vector<std::string>& args) {
    std::int8_t port = -1;
    CCommandLine(port).ParseCommandLine(args);
    return port;
}

TEST(CCommandLine, AcceptsOnlyUpperCaseCSwitchesInRange) {
    EXPECT_EQ(Parse({"/C5"}), 5);
    EXPECT_EQ(Parse({"-C5"}), 5);
    EXPECT_EQ(Parse({"/C1"}), 1);
    EXPECT_EQ(Parse({"/C100"}), 100);
    EXPECT_EQ(Parse({"/C7x"}), 7);
    EXPECT_EQ(Parse({"/C 9"}), 9);  // atoi skips the blank
    for (const char* ignored : {"/c5", "C5", "/C0", "/C101", "/C", "/Cx", "/C-3", "/", "",
                                "/C99999999999", "--C5", "/X5"}) {
        EXPECT_EQ(Parse({ignored}), -1) << ignored;
    }
}

TEST(CCommandLine, LastValidSwitchWins) {
    EXPECT_EQ(Parse({"/C3", "/C200"}), 3);
    EXPECT_EQ(Parse({"/C200"}), -1);
    EXPECT_EQ(Parse({"/C3", "-C4", "/C12"}), 12);
    EXPECT_EQ(Parse({"/C3", "file.txt", "/c9"}), 3);
}

TEST(CCommandLine, ParseParamTakesTheStrippedText) {
    std::int8_t port = -1;
    CCommandLine parser(port);
    parser.ParseParam("C8", false, true);  // not a switch
    EXPECT_EQ(port, -1);
    parser.ParseParam("C8", true, false);
    EXPECT_EQ(port, 8);
}

}  // namespace
}  // namespace vorenta
