#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/SessionEvents.h"

namespace vorenta::test {
namespace {

SessionOutcome Told(std::string text) {
    SessionOutcome outcome;
    outcome.text = std::move(text);
    return outcome;
}

TEST(SessionEvents, TheHeadlineIsTheFirstParagraphWithoutTrailingBlanks) {
    EXPECT_EQ(Told("No response from the X.\n\nThis procedure is trying...\n\nFirmware update "
                   "terminated.\n")
                  .Headline(),
              "No response from the X.");
    EXPECT_EQ(Told("Invalid version response from the X.     \n\nFirmware update").Headline(),
              "Invalid version response from the X.");
    EXPECT_EQ(Told("Unable to open serial port COM5     ").Headline(),
              "Unable to open serial port COM5");
    EXPECT_EQ(Told("").Headline(), "");
}

TEST(SessionEvents, EveryListenerHearsEveryEventInTheOrderAdded) {
    struct Heard : ISessionEvents {
        Heard(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
        void OnPageSending(std::uint64_t page, std::uint64_t count) override {
            log.push_back(name + " page " + std::to_string(page) + "/" + std::to_string(count));
        }
        void OnSessionEnded(SessionResult) override { log.push_back(name + " ended"); }
        std::vector<std::string>& log;
        std::string name;
    };
    std::vector<std::string> log;
    Heard first(log, "first");
    Heard second(log, "second");
    SessionEventFanOut fanOut;
    fanOut.Add(first);
    fanOut.Add(second);
    fanOut.OnPageSending(2, 9);
    fanOut.OnModuleAnswered("VR-VMM-KT76");  // nobody listens: nothing happens
    fanOut.OnSessionEnded(SessionResult::Success);
    EXPECT_EQ(log, (std::vector<std::string>{"first page 2/9", "second page 2/9", "first ended",
                                             "second ended"}));
}

}  // namespace
}  // namespace vorenta::test
