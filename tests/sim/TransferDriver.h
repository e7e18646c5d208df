#pragma once

#include <cstdint>
#include <numeric>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/TickSource.h"
#include "serial/CRS232.h"

namespace vorenta::test {

// Plays the updater's side of a transfer with the port object, step by step, so
// tests can look at every reply. The real transfer lives elsewhere; this one only
// has to send the same bytes.
class TransferDriver {
  public:
    static constexpr std::uint8_t kPoll = 0xC0;
    static constexpr std::uint8_t kAnswer = 0xD0;
    static constexpr std::string_view kTarget = "KT76-MM-VMM-232-1.0";
    static constexpr std::size_t kPage = 256;

    TransferDriver(CRS232& port, ITickSource& clock) : port_(port), clock_(clock) {}

    // Polls every `intervalMs` until the answer byte is seen, then once more, as the
    // updater's timer does. Returns how many polls came before the answer (0: none).
    int PollForAnswer(int maxPolls, std::uint32_t intervalMs) {
        for (int poll = 1; poll <= maxPolls; ++poll) {
            SendData({kPoll});
            const std::uint32_t start = clock_.GetTickCount();
            while (TicksSince(start, clock_.GetTickCount()) < intervalMs) {
                if (ReplyWithin(1) == kAnswer) {
                    SendData({kPoll});
                    return poll;
                }
            }
        }
        return 0;
    }

    // Drops what came so far and sends the target identification.
    void SendIdentification() {
        DelayMs(clock_, 20);
        port_.PurgeInput();
        port_.SendPacketText(std::string(kTarget).c_str());
    }

    // Sends page `number` (address, data, checksum) the way the updater does.
    void SendPage(std::uint32_t number, std::span<const std::uint8_t> data,
                  std::optional<std::uint8_t> checksum = std::nullopt,
                  std::optional<std::uint32_t> address = std::nullopt) {
        const std::uint32_t at = address.value_or(number * static_cast<std::uint32_t>(kPage));
        SendData({static_cast<std::uint8_t>(at >> 24), static_cast<std::uint8_t>(at >> 16),
                  static_cast<std::uint8_t>(at >> 8), static_cast<std::uint8_t>(at)});
        port_.SendPacket(data.data(), static_cast<int>(data.size()));
        SendData({checksum.value_or(Checksum(data))});
    }

    void SendEndMarker() { SendData({0xFF, 0xFF, 0xFF, 0xFF}); }

    void SendData(std::vector<std::uint8_t> data) {
        port_.SendPacket(data.data(), static_cast<int>(data.size()));
    }

    // Bytes received until `count` have come or `timeoutMs` has passed.
    std::vector<std::uint8_t> Collect(std::size_t count, std::uint32_t timeoutMs) {
        std::vector<std::uint8_t> got;
        const std::uint32_t start = clock_.GetTickCount();
        while (got.size() < count) {
            std::uint8_t byte = 0;
            if (port_.BytesWaiting() > 0 && port_.Read(&byte, 1) == 1) {
                got.push_back(byte);
                continue;
            }
            const std::uint32_t waited = TicksSince(start, clock_.GetTickCount());
            if (waited >= timeoutMs) {
                break;
            }
            port_.WaitForInput(timeoutMs - waited);
        }
        return got;
    }

    std::optional<std::uint8_t> ReplyWithin(std::uint32_t timeoutMs) {
        const auto got = Collect(1, timeoutMs);
        return got.empty() ? std::nullopt : std::optional(got[0]);
    }

    static std::uint8_t Checksum(std::span<const std::uint8_t> data) {
        return static_cast<std::uint8_t>(std::accumulate(data.begin(), data.end(), 0u));
    }

  private:
    CRS232& port_;
    ITickSource& clock_;
};

// A page image of pseudo-random bytes: pages differ, and so do their checksums.
inline std::vector<std::uint8_t> TestImage(std::size_t pages) {
    std::vector<std::uint8_t> image(pages * TransferDriver::kPage);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : image) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return image;
}

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

}  // namespace vorenta::test
