#include "tools/vorenta-sim/Options.h"

#include <gtest/gtest.h>

namespace vorenta::sim {
namespace {

using Action = ParsedCommandLine::Action;

ParsedCommandLine Parse(const std::vector<std::string_view>& args) {
    return ParseCommandLine(args);
}

TEST(SimOptions, DefaultsServeAPtyAndAnswerTheThirdPoll) {
    const auto parsed = Parse({});
    EXPECT_EQ(parsed.action, Action::Run);
    EXPECT_TRUE(parsed.options.devicePath.empty());
    EXPECT_EQ(parsed.options.answerPoll, 3U);
    EXPECT_FALSE(parsed.options.timeoutSeconds.has_value());
    EXPECT_TRUE(parsed.options.speedCheck);
}

TEST(SimOptions, FaultsCombineAndRepeat) {
    const auto parsed = Parse({"--retry-page",
                               "2:3",
                               "--retry-page=5:1",
                               "--no-reply-page",
                               "7",
                               "--bad-reply-page",
                               "1",
                               "--bad-reply-page=4:0x0A",
                               "--close-after-page",
                               "9",
                               "--double-reply-page",
                               "3",
                               "--double-reply-page=6",
                               "--id-lowercase",
                               "--no-cr",
                               "--ready-byte",
                               "0x3f",
                               "--noise",
                               "12",
                               "--reply-delay",
                               "250",
                               "--timeout",
                               "2.5",
                               "--image",
                               "out.bin",
                               "--log=wire.jsonl",
                               "--pace"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    const Faults& f = parsed.options.faults;
    EXPECT_EQ(f.retryPages, (std::map<std::uint32_t, unsigned>{{2, 3}, {5, 1}}));
    EXPECT_EQ(f.silentPages, (std::set<std::uint32_t>{7}));
    EXPECT_EQ(f.badReplyPages, (std::map<std::uint32_t, std::uint8_t>{{1, '?'}, {4, 0x0A}}));
    EXPECT_EQ(f.closeAfterPage, 9U);
    EXPECT_EQ(f.doubleReplyPages, (std::set<std::uint32_t>{3, 6}));
    EXPECT_TRUE(f.idLowerCase && f.noCr);
    EXPECT_EQ(f.readyByte, 0x3F);
    EXPECT_EQ(f.noiseBytes, 12U);
    EXPECT_EQ(f.replyDelayMs, 250U);
    EXPECT_EQ(parsed.options.timeoutSeconds, 2.5);
    EXPECT_EQ(parsed.options.imagePath, "out.bin");
    EXPECT_EQ(parsed.options.logPath, "wire.jsonl");
    EXPECT_TRUE(parsed.options.pace);
}

TEST(SimOptions, BadValuesAreRefusedWithTheOptionNamed) {
    const std::vector<std::vector<std::string_view>> bad{{"--answer-poll", "0"},
                                                         {"--answer-poll", "3x"},
                                                         {"--timeout", "-1"},
                                                         {"--timeout", "nan"},
                                                         {"--timeout", ""},
                                                         {"--retry-page", "2"},
                                                         {"--retry-page", "2:0"},
                                                         {"--ready-byte", "256"},
                                                         {"--bad-reply-page", "1:0x21"},
                                                         {"--bad-reply-page", "1:64"},
                                                         {"--no-reply-page", "-1"},
                                                         {"--max-pages", "0"},
                                                         {"--image"},
                                                         {"--pace=yes"},
                                                         {"--frobnicate"},
                                                         {"stray"},
                                                         {"--close-after-page", "0x1000000"},
                                                         {"--double-reply-page", "x"}};
    for (const auto& args : bad) {
        std::string trace(args[0]);
        if (args.size() > 1) {
            trace.append(" ").append(args[1]);
        }
        SCOPED_TRACE(trace);
        const auto parsed = Parse(args);
        EXPECT_EQ(parsed.action, Action::Error);
        EXPECT_FALSE(parsed.error.empty());
        if (args[0].starts_with("--") && args[0] != "--frobnicate") {
            const std::string_view name = args[0].substr(0, args[0].find('='));
            EXPECT_NE(parsed.error.find(name), std::string::npos) << parsed.error;
        }
    }
}

TEST(SimOptions, HelpAndVersionWin) {
    EXPECT_EQ(Parse({"--noise", "3", "--help"}).action, Action::Help);
    EXPECT_EQ(Parse({"--version"}).action, Action::Version);
    EXPECT_NE(HelpText().find("--close-after-page"), std::string_view::npos);
}

}  // namespace
}  // namespace vorenta::sim
