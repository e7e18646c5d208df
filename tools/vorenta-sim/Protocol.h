#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// What travels between the updater and the base station with the module behind it,
// seen from the far end of the line. Written down here a second time on purpose,
// apart from the updater's serial/ and update/ folders: the simulator checks the
// updater against its own reading of the protocol, so a slip in one copy shows
// as a failed session instead of being shared by both ends.
namespace vorenta::sim {

// Raw commands of the base station, written without a frame.
inline constexpr std::string_view kCommandSpeed = "<<$:U9";
inline constexpr std::string_view kCommandReturn = "<\r";
inline constexpr std::string_view kCommandRadio = "<<RS<#C14";
inline constexpr std::string_view kCommandRelease = "<W";

// Packet frame: head, three length digits, fixed bytes, count, data, trailer.
inline constexpr std::string_view kFrameHead = "<$:P";
inline constexpr std::size_t kLengthDigits = 3;
inline constexpr std::array<std::uint8_t, 12> kFixedBytes = {0x41, 0x8C, 0x11, 0xEE, 0xEE, 0xFF,
                                                             0xFF, 0x00, 0x00, 0x22, 0x00, 0x46};
inline constexpr std::size_t kCountOffset = 19;
inline constexpr std::size_t kDataOffset = 20;
inline constexpr std::size_t kTrailerLength = 2;
inline constexpr std::size_t kMaxFrameData = 86;
// The length digits count the fixed bytes, the count byte, the data and the trailer.
inline constexpr std::size_t kLengthOverhead = kFixedBytes.size() + 1 + kTrailerLength;

// The boot loader's side of the transfer.
inline constexpr std::uint8_t kPollByte = 0xC0;
inline constexpr std::uint8_t kAnswerByte = 0xD0;
inline constexpr std::string_view kTargetIdentification = "KT76-MM-VMM-232-1.0";
inline constexpr std::string_view kBootLoaderIdentification = "VR-VMM-KT76";
inline constexpr std::uint8_t kCarriageReturn = 0x0D;
inline constexpr std::uint8_t kLineFeed = 0x0A;
inline constexpr std::uint8_t kReadyByte = '!';
inline constexpr std::uint8_t kRetryByte = '@';
inline constexpr std::size_t kAddressLength = 4;
inline constexpr std::size_t kPageSize = 256;
inline constexpr std::uint32_t kEndMarker = 0xFFFFFFFF;

// Speeds the updater must use for the preparation commands and everything after.
inline constexpr unsigned kSessionSpeed = 38400;

}  // namespace vorenta::sim
