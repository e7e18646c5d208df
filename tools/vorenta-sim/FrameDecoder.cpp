#include "tools/vorenta-sim/FrameDecoder.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/vorenta-sim/Protocol.h"
#include "tools/vorenta-sim/Text.h"

namespace vorenta::sim {

namespace {

struct KnownCommand {
    BaseCommand command;
    std::string_view text;
};

constexpr std::array<KnownCommand, 4> kCommands = {{{BaseCommand::Speed, kCommandSpeed},
                                                    {BaseCommand::Return, kCommandReturn},
                                                    {BaseCommand::Radio, kCommandRadio},
                                                    {BaseCommand::Release, kCommandRelease}}};

bool StartsWith(std::string_view text, const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() > text.size()) {
        return false;
    }
    return std::equal(bytes.begin(), bytes.end(), text.begin(),
                      [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
}

bool IsDigit(std::uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

}  // namespace

std::string_view CommandText(BaseCommand command) {
    for (const auto& known : kCommands) {
        if (known.command == command) {
            return known.text;
        }
    }
    return {};
}

void FrameDecoder::Feed(std::span<const std::uint8_t> data, unsigned speed,
                        std::vector<WireItem>& out) {
    for (const std::uint8_t byte : data) {
        FeedByte(byte, speed, out);
    }
}

void FrameDecoder::Finish(std::string_view why, std::vector<WireItem>& out) {
    if (!token_.empty()) {
        WireItem item;
        item.bytes = token_;
        item.wireLength = token_.size();
        item.speed = tokenSpeed_;
        item.problem = std::string(why) +
                       (inFrame_ ? " in mid-frame after " : " in mid-command after ") +
                       std::to_string(token_.size()) + " bytes";
        FlushStray(out);
        out.push_back(std::move(item));
        token_.clear();
        inFrame_ = false;
    }
    FlushStray(out);
}

void FrameDecoder::FeedByte(std::uint8_t byte, unsigned speed, std::vector<WireItem>& out) {
    if (token_.empty()) {
        if (byte != '<') {
            AddStray(byte, speed);
            return;
        }
        FlushStray(out);
        tokenSpeed_ = speed;
        token_.push_back(byte);
        return;
    }
    if (inFrame_) {
        FeedFrame(byte, out);
    } else {
        FeedCandidate(byte, speed, out);
    }
}

void FrameDecoder::FeedCandidate(std::uint8_t byte, unsigned speed, std::vector<WireItem>& out) {
    token_.push_back(byte);
    for (const auto& known : kCommands) {
        if (token_.size() == known.text.size() && StartsWith(known.text, token_)) {
            WireItem item;
            item.kind = WireItem::Kind::Command;
            item.command = known.command;
            item.bytes = token_;
            item.wireLength = token_.size();
            item.speed = tokenSpeed_;
            out.push_back(std::move(item));
            token_.clear();
            return;
        }
    }
    if (StartsWith(kFrameHead, token_)) {
        inFrame_ = token_.size() == kFrameHead.size();
        return;
    }
    const bool stillPossible = std::any_of(kCommands.begin(), kCommands.end(), [&](const auto& k) {
        return StartsWith(k.text, token_);
    });
    if (stillPossible) {
        return;
    }
    // Not a command after all: the first byte is stray, the rest may start a real one.
    std::vector<std::uint8_t> rest(token_.begin() + 1, token_.end());
    const unsigned firstSpeed = tokenSpeed_;
    token_.clear();
    AddStray('<', firstSpeed);
    for (const std::uint8_t b : rest) {
        FeedByte(b, speed, out);
    }
}

void FrameDecoder::FeedFrame(std::uint8_t byte, std::vector<WireItem>& out) {
    const std::size_t at = token_.size();
    token_.push_back(byte);
    const std::size_t digitsEnd = kFrameHead.size() + kLengthDigits;
    if (at < digitsEnd) {
        if (!IsDigit(byte)) {
            RejectFrame("length digit at offset " + std::to_string(at) + " is " + HexByte(byte),
                        out);
        }
    } else if (at < kCountOffset) {
        const std::uint8_t expected = kFixedBytes[at - digitsEnd];
        if (byte != expected) {
            RejectFrame("fixed byte at offset " + std::to_string(at) + " is " + HexByte(byte) +
                            ", expected " + HexByte(expected),
                        out);
        }
    } else if (at == kCountOffset) {
        if (byte == 0 || byte > kMaxFrameData) {
            RejectFrame("count byte " + std::to_string(byte) + " is outside 1.." +
                            std::to_string(kMaxFrameData),
                        out);
        }
    } else {
        const std::size_t count = token_[kCountOffset];
        const std::size_t trailerAt = kDataOffset + count;
        if (at >= trailerAt && byte != 0) {
            RejectFrame("trailer byte at offset " + std::to_string(at) + " is " + HexByte(byte) +
                            ", expected 00",
                        out);
        } else if (at + 1 == trailerAt + kTrailerLength) {
            std::size_t declared = 0;
            for (std::size_t i = kFrameHead.size(); i < digitsEnd; ++i) {
                declared = declared * 10 + (token_[i] - '0');
            }
            const std::size_t actual = token_.size() - digitsEnd;
            if (declared != actual) {
                RejectFrame("length digits say " + std::to_string(declared) + " but " +
                                std::to_string(actual) + " bytes follow them",
                            out);
                return;
            }
            WireItem item;
            item.kind = WireItem::Kind::Frame;
            item.bytes.assign(token_.begin() + kDataOffset,
                              token_.begin() + static_cast<std::ptrdiff_t>(trailerAt));
            item.wireLength = token_.size();
            item.speed = tokenSpeed_;
            out.push_back(std::move(item));
            token_.clear();
            inFrame_ = false;
        }
    }
}

void FrameDecoder::RejectFrame(std::string problem, std::vector<WireItem>& out) {
    WireItem item;
    item.problem = "malformed frame: " + std::move(problem);
    item.speed = tokenSpeed_;
    // The byte that broke the frame may begin the next command or frame.
    const std::uint8_t last = token_.back();
    const bool restart = last == '<';
    if (restart) {
        token_.pop_back();
    }
    item.bytes = token_;
    item.wireLength = token_.size();
    out.push_back(std::move(item));
    token_.clear();
    inFrame_ = false;
    if (restart) {
        token_.push_back(last);
    }
}

void FrameDecoder::AddStray(std::uint8_t byte, unsigned speed) {
    if (strayCount_ == 0) {
        straySpeed_ = speed;
    }
    if (stray_.size() < kStrayExcerpt) {
        stray_.push_back(byte);
    }
    ++strayCount_;
}

void FrameDecoder::FlushStray(std::vector<WireItem>& out) {
    if (strayCount_ == 0) {
        return;
    }
    WireItem item;
    item.problem = std::to_string(strayCount_) +
                   (strayCount_ == 1 ? " stray byte" : " stray bytes") +
                   " outside any command or frame";
    item.bytes = std::move(stray_);
    item.wireLength = strayCount_;
    item.speed = straySpeed_;
    out.push_back(std::move(item));
    stray_.clear();
    strayCount_ = 0;
}

}  // namespace vorenta::sim
