#include "serial/PacketFrame.h"

#include <algorithm>

namespace vorenta {

std::size_t BuildPacketFrame(const std::uint8_t* data, std::size_t count,
                             PacketFrameBuffer& frame) {
    if (data == nullptr || count == 0 || count > kPacketFrameMaxData) {
        return 0;
    }
    auto out = frame.begin();
    out = std::copy(kPacketFrameHead.begin(), kPacketFrameHead.end(), out);

    // Three decimal digits with leading zeros; the length never exceeds 101.
    const std::size_t length =
        count + kPacketFrameOverhead - kPacketFrameHead.size() - kPacketFrameLengthDigits;
    *out++ = static_cast<std::uint8_t>('0' + length / 100);
    *out++ = static_cast<std::uint8_t>('0' + length / 10 % 10);
    *out++ = static_cast<std::uint8_t>('0' + length % 10);

    out = std::copy(kPacketFrameFixed.begin(), kPacketFrameFixed.end(), out);
    *out++ = static_cast<std::uint8_t>(count);
    out = std::copy(data, data + count, out);
    out = std::copy(kPacketFrameTrailer.begin(), kPacketFrameTrailer.end(), out);
    return static_cast<std::size_t>(out - frame.begin());
}

}  // namespace vorenta
