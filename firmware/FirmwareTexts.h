#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/ProductTexts.h"

// File names and texts of the firmware files: the description file, the
// firmware file check and the page image.
namespace vorenta::firmware {

inline constexpr std::string_view kDescriptionFileName = "Vorenta_KT76_MM_VMM_V2.txt";
inline constexpr std::string_view kPageImageFileName = "Hex.tmp";
// Bytes per page of the page image; the only size the boot loader takes.
inline constexpr int kPageSize = 256;
inline constexpr unsigned char kPadByte = 0xFF;
// The most pages a module takes; a larger file is never copied nor hashed.
inline constexpr std::uint64_t kMostPages = 65536;
inline constexpr std::uint64_t kMostFirmwareBytes = kMostPages * kPageSize;

// Caption of the messages about the description file and the firmware file.
inline std::string FileMessageCaption() {
    return std::string(texts::kProductName) + std::string(texts::kFileMessageCaptionSuffix);
}

// Description file.
inline constexpr std::string_view kDescriptionOpenFailed =
    "Unable to open the firmware description file:     \n";
inline constexpr std::string_view kDescriptionReadFailed =
    "Unable to read the firmware description file:     \n";
inline constexpr std::string_view kPathIndent = "     ";
inline constexpr std::string_view kDescriptionPathEnd = "     \n\n";
inline constexpr std::string_view kUpdateDisabledNotice = "Firmware update wil be disabled.";
inline constexpr std::string_view kFirmwareVersionLabel = "Firmware version  =  ";

// Firmware file check.
inline constexpr std::string_view kFirmwareFileOpenFailed =
    "Unable to open the firmware hex file:     \n";
inline constexpr std::string_view kFirmwareFileNameEnd = "     ";
inline constexpr std::string_view kFirmwareFileLabel = "Firmware file  =  ";

// Page image.
inline constexpr std::string_view kSourceOpenFailed = "Unable to open the firmware file.";
inline constexpr std::string_view kImageCreateFailed =
    "Unable to create the temporary firmware file.";
// Below kImageCreateFailed: the folder, then why it cannot be used.
inline constexpr std::string_view kTempFolderUnusable = "\n\nThe temporary folder ";
inline constexpr std::string_view kTempFolderReason = " cannot be used: ";
inline constexpr std::string_view kSourceReadFailed = "Unable to read the firmware file.";
inline constexpr std::string_view kImageWriteFailed =
    "Unable to write the temporary firmware file.";
inline constexpr std::string_view kFirmwareChangedNotice =
    "The firmware file changed since the update began; its pages are copied again.";
inline constexpr std::string_view kSourceKeepsChanging =
    "The firmware file keeps changing; it cannot be sent.";
// printf format: the file's length, the most bytes, the most pages.
inline constexpr const char* kSourceTooLargeFormat =
    "The firmware file is too large to send: %llu bytes; the module takes at most %llu bytes "
    "(%llu pages).";
// printf format: pages required, then pages written.
inline constexpr const char* kPageCountMismatchFormat =
    "Invalid binary output file: \n    Number of pages required = %d\n    Number of pages "
    "written = %d";

}  // namespace vorenta::firmware
