#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// What the module's boot loader and the utility say to each other.
namespace vorenta::bootloader {

inline constexpr std::uint8_t kPollByte = 0xC0;
inline constexpr std::uint8_t kAnswerByte = 0xD0;

inline constexpr std::string_view kTargetIdentification = "KT76-MM-VMM-232-1.0";
inline constexpr std::string_view kBootLoaderIdentification = "VR-VMM-KT76";
inline constexpr std::uint8_t kIdentificationEnd = 0x0D;

inline constexpr std::uint8_t kReadyByte = '!';
inline constexpr std::uint8_t kRetryByte = '@';

inline constexpr std::array<std::uint8_t, 4> kEndMarker{0xFF, 0xFF, 0xFF, 0xFF};

inline constexpr std::uint32_t kIdentificationTimeoutMs = 3000;
inline constexpr std::uint32_t kReadyTimeoutMs = 2000;
inline constexpr std::uint32_t kPageReplyTimeoutMs = 3000;
inline constexpr std::uint32_t kSendPauseMs = 20;
inline constexpr std::uint32_t kSettleBeforePurgeMs = 100;
inline constexpr std::uint32_t kAfterIdentificationMs = 10;
inline constexpr int kMaxSendsPerPage = 5;

// Module address of a page's first byte, most significant byte first.
inline std::array<std::uint8_t, 4> PageAddress(std::uint32_t pageNumber, std::uint32_t pageSize) {
    const std::uint32_t address = pageNumber * pageSize;
    return {static_cast<std::uint8_t>(address >> 24U), static_cast<std::uint8_t>(address >> 16U),
            static_cast<std::uint8_t>(address >> 8U), static_cast<std::uint8_t>(address)};
}

// Sum of the page's bytes modulo 256.
inline std::uint8_t PageChecksum(const std::uint8_t* data, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    return sum;
}

}  // namespace vorenta::bootloader
