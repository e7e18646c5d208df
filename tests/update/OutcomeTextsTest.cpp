#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "common/ContactInfo.h"
#include "update/OutcomeTexts.h"

namespace vorenta::test {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

TEST(OutcomeTexts, InvalidVersionMessageReadsLineByLine) {
    const std::string message = FailureHeadline(TransferFailure::InvalidVersion) + FailureNotice();
    const std::vector<std::string> expected{
        "Invalid version response from the Vorenta KT7.6 VMM & DO-232 R2 Mobile Module.     ",
        "",
        "Firmware update terminated.",
        "",
        "If some of the firmware file was transferred, the firmware in the Vorenta KT7.6 VMM & "
        "DO-232 R2 Mobile Module may be corrupt.     ",
        "",
        "You should retry the firmware update procedure.",
        "",
        "If you continue to have problems, contact Harwen Systems for support.",
        "     Office hours " + std::string(contact::kOfficeHours),
        "     " + std::string(contact::kSupportPhone),
        "     " + std::string(contact::kSupportEmail),
        "     " + std::string(contact::kWebAddress),
        "",
    };
    EXPECT_EQ(Lines(message), expected);
    // The text ends in a line break after the empty line, not in blanks.
    EXPECT_EQ(message.substr(message.size() - 2), "\n\n");
}

TEST(OutcomeTexts, OnlyTheMissingIdentificationCarriesTheModelHint) {
    const std::string hint =
        "\n\nThis procedure is trying to update a Vantor or DO-232 R2 Mobile Module with the "
        "KT7.6 Radio Module.";
    const std::string product = "Vorenta KT7.6 VMM & DO-232 R2 Mobile Module";
    EXPECT_EQ(FailureHeadline(TransferFailure::NoResponseWithHint),
              "No response from the " + product + "." + hint);
    EXPECT_EQ(FailureHeadline(TransferFailure::NoResponse),
              "No response from the " + product + ".");
    EXPECT_EQ(FailureHeadline(TransferFailure::NoReady),
              "No ready response from the " + product + ".     ");
    EXPECT_EQ(FailureHeadline(TransferFailure::InvalidReady),
              "Invalid ready response from the " + product + ".     ");
    for (const auto failure : {TransferFailure::NoResponse, TransferFailure::InvalidVersion,
                               TransferFailure::NoReady, TransferFailure::InvalidReady,
                               TransferFailure::EmptyImage, TransferFailure::Interrupted}) {
        EXPECT_EQ(FailureHeadline(failure).find("This procedure"), std::string::npos);
    }
}

TEST(OutcomeTexts, SuccessTexts) {
    EXPECT_EQ(SuccessStatusText(),
              "Vorenta KT7.6 VMM & DO-232 R2 Mobile Module firmware successfully updated");
    EXPECT_EQ(SuccessMessage(),
              "The Vorenta KT7.6 VMM & DO-232 R2 Mobile Module firmware has been successfully "
              "updated.     ");
}

}  // namespace
}  // namespace vorenta::test
