#include "update/TransferTexts.h"

#include "common/Hex.h"

namespace vorenta::texts {

namespace {
constexpr std::string_view kBootLoaderVersionLabel = "Boot loader version  =  ";
constexpr std::string_view kProgressPrefix = "Sending firmware page  ";
constexpr std::string_view kProgressMiddle = "  of  ";
constexpr std::string_view kDiscardedInputPrefix = "Input discarded before page ";
constexpr std::string_view kDiscardedInputMiddle = " was sent: ";
}  // namespace

std::string BootLoaderLineText(std::string_view identification) {
    return std::string(kBootLoaderVersionLabel) + std::string(identification);
}

std::string ProgressText(std::uint64_t page, std::uint64_t pageCount) {
    return std::string(kProgressPrefix) + std::to_string(page) + std::string(kProgressMiddle) +
           std::to_string(pageCount);
}

std::string DiscardedInputText(std::uint64_t page, std::span<const std::uint8_t> bytes) {
    return std::string(kDiscardedInputPrefix) + std::to_string(page) +
           std::string(kDiscardedInputMiddle) + HexBytes(bytes);
}

}  // namespace vorenta::texts
