#include "update/OutcomeTexts.h"

#include "common/ContactInfo.h"
#include "common/ProductTexts.h"

namespace vorenta {

namespace {

constexpr std::string_view kFiveBlanks = "     ";
constexpr std::string_view kModelHint =
    "\n\nThis procedure is trying to update a Vantor or DO-232 R2 Mobile Module with the KT7.6 "
    "Radio Module.";

std::string Product() {
    return std::string(texts::kProductName);
}

}  // namespace

std::string FailureHeadline(TransferFailure failure) {
    switch (failure) {
        case TransferFailure::NoResponseWithHint:
            return "No response from the " + Product() + "." + std::string(kModelHint);
        case TransferFailure::NoResponse:
            return "No response from the " + Product() + ".";
        case TransferFailure::InvalidVersion:
            return "Invalid version response from the " + Product() + ".     ";
        case TransferFailure::NoReady:
            return "No ready response from the " + Product() + ".     ";
        case TransferFailure::InvalidReady:
            return "Invalid ready response from the " + Product() + ".     ";
        case TransferFailure::EmptyImage:
            return "The firmware file is empty: no firmware was sent to the " + Product() +
                   ".     ";
        case TransferFailure::Interrupted:
            return "The firmware update was interrupted by the operator.     ";
    }
    return {};
}

std::string FailureNotice() {
    std::string notice;
    notice += "\n\n";
    notice += "Firmware update terminated.\n";
    notice += "\n";
    notice += "If some of the firmware file was transferred, the firmware in the ";
    notice += Product();
    notice += " may be corrupt.     \n";
    notice += "\n";
    notice += "You should retry the firmware update procedure.\n";
    notice += "\n";
    notice += "If you continue to have problems, contact Harwen Systems for support.\n";
    notice +=
        std::string(kFiveBlanks) + "Office hours " + std::string(contact::kOfficeHours) + "\n";
    notice += std::string(kFiveBlanks) + std::string(contact::kSupportPhone) + "\n";
    notice += std::string(kFiveBlanks) + std::string(contact::kSupportEmail) + "\n";
    notice += std::string(kFiveBlanks) + std::string(contact::kWebAddress) + "\n";
    notice += "\n";
    return notice;
}

std::string SuccessStatusText() {
    return Product() + " firmware successfully updated";
}

std::string SuccessMessage() {
    return "The " + Product() + " firmware has been successfully updated.     ";
}

}  // namespace vorenta
