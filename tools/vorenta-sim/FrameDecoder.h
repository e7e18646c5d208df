#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorenta::sim {

enum class BaseCommand { Speed, Return, Radio, Release };

// One thing recognised on the line: a raw base-station command, a packet frame
// with its data, or bytes that are neither (with what was wrong with them).
struct WireItem {
    enum class Kind { Command, Frame, Violation };
    Kind kind = Kind::Violation;
    BaseCommand command = BaseCommand::Speed;
    // Frame: the data bytes. Command and violation: the bytes as they came.
    std::vector<std::uint8_t> bytes;
    // Violation only: what was wrong.
    std::string problem;
    // How many bytes the item took on the wire (for stray runs more than `bytes` holds).
    std::size_t wireLength = 0;
    // Line speed in force when the item's first byte was read.
    unsigned speed = 0;
};

std::string_view CommandText(BaseCommand command);

// Strict decoder of everything the updater writes to the base station. Bytes may
// arrive in any split; nothing it is fed can make it fail, and every byte ends up
// in exactly one item.
class FrameDecoder {
  public:
    // Most bytes of a stray run that a violation keeps for the log.
    static constexpr std::size_t kStrayExcerpt = 32;

    void Feed(std::span<const std::uint8_t> data, unsigned speed, std::vector<WireItem>& out);
    // No more input ("line closed", "run ended"): an unfinished command or frame and
    // any stray run are reported.
    void Finish(std::string_view why, std::vector<WireItem>& out);
    bool Idle() const { return token_.empty() && strayCount_ == 0; }

  private:
    void FeedByte(std::uint8_t byte, unsigned speed, std::vector<WireItem>& out);
    void FeedCandidate(std::uint8_t byte, unsigned speed, std::vector<WireItem>& out);
    void FeedFrame(std::uint8_t byte, std::vector<WireItem>& out);
    void RejectFrame(std::string problem, std::vector<WireItem>& out);
    void AddStray(std::uint8_t byte, unsigned speed);
    void FlushStray(std::vector<WireItem>& out);

    std::vector<std::uint8_t> token_;
    unsigned tokenSpeed_ = 0;
    bool inFrame_ = false;
    std::vector<std::uint8_t> stray_;
    std::size_t strayCount_ = 0;
    unsigned straySpeed_ = 0;
};

}  // namespace vorenta::sim
