#pragma once

#include <string>
#include <string_view>

namespace vorenta {

// How a transfer that has begun can end badly.
enum class TransferFailure {
    NoResponseWithHint,  // no identification from the boot loader
    NoResponse,          // no reply to a page
    InvalidVersion,
    NoReady,
    InvalidReady,
    EmptyImage,   // nothing to send: never end with the end marker alone
    Interrupted,  // the operator stopped the transfer
};

namespace texts {
inline constexpr std::string_view kUpdateFailedStatus = "Firmware update failed";
inline constexpr std::string_view kUpdateCompleteCaption = "Firmware Update Complete";
inline constexpr std::string_view kTemporaryFileFailure =
    "Unable to open the temporary firmware file.               ";
// "COM" and the port number follow; then the tail.
inline constexpr std::string_view kPortOpenFailure = "Unable to open serial port COM";
inline constexpr std::string_view kPortMessageTail = "     ";
inline constexpr std::string_view kPortGone = "Serial port COM";
inline constexpr std::string_view kPortGoneTail = " is no longer available";
// After the tail: gone while the module was polled, or during the transfer.
inline constexpr std::string_view kPortGoneWhilePolled = ": the session was cancelled.     ";
inline constexpr std::string_view kPortGoneInTransfer = ".";
}  // namespace texts

// The first part of a failure message, with the model hint where it belongs.
std::string FailureHeadline(TransferFailure failure);
// The notice every failure message ends with, contact lines included.
std::string FailureNotice();
std::string SuccessStatusText();
std::string SuccessMessage();

}  // namespace vorenta
