#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorenta {

// The frame the base station takes data for the module in:
//   "<$:P" + three length digits (bytes after the first seven) + twelve fixed bytes
//   + count byte + data + two zero bytes.
inline constexpr std::array<std::uint8_t, 4> kPacketFrameHead{'<', '$', ':', 'P'};
inline constexpr std::array<std::uint8_t, 12> kPacketFrameFixed{0x41, 0x8C, 0x11, 0xEE, 0xEE, 0xFF,
                                                                0xFF, 0x00, 0x00, 0x22, 0x00, 0x46};
inline constexpr std::array<std::uint8_t, 2> kPacketFrameTrailer{0x00, 0x00};
inline constexpr std::size_t kPacketFrameLengthDigits = 3;
// Offset of the count byte; the data follows it.
inline constexpr std::size_t kPacketFrameCountOffset =
    kPacketFrameHead.size() + kPacketFrameLengthDigits + kPacketFrameFixed.size();
inline constexpr std::size_t kPacketFrameDataOffset = kPacketFrameCountOffset + 1;
// Bytes a frame adds around its data (22).
inline constexpr std::size_t kPacketFrameOverhead =
    kPacketFrameDataOffset + kPacketFrameTrailer.size();
// The base station takes at most this many data bytes in one frame.
inline constexpr std::size_t kPacketFrameMaxData = 86;
inline constexpr std::size_t kPacketFrameBufferSize = 150;

static_assert(kPacketFrameOverhead == 22);
static_assert(kPacketFrameOverhead + kPacketFrameMaxData <= kPacketFrameBufferSize);

using PacketFrameBuffer = std::array<std::uint8_t, kPacketFrameBufferSize>;

// Builds one frame around `count` bytes of `data` into `frame` and returns the
// frame's length (count + 22). Returns 0 and leaves `frame` alone when count is
// 0, above the frame's limit, or the data pointer is missing.
std::size_t BuildPacketFrame(const std::uint8_t* data, std::size_t count, PacketFrameBuffer& frame);

}  // namespace vorenta
