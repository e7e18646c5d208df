#include "tools/vorenta-sim/Module.h"

#include <cctype>
#include <numeric>

#include "common/Hex.h"
#include "tools/vorenta-sim/Protocol.h"
#include "tools/vorenta-sim/Text.h"

namespace vorenta::sim {

namespace {

constexpr std::size_t kPageRecord = kAddressLength + kPageSize + 1;

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes) {
    std::uint32_t value = 0;
    for (const std::uint8_t byte : bytes.first(kAddressLength)) {
        value = (value << 8) | byte;
    }
    return value;
}

// Noise that never contains the answer byte, the same on every run.
std::vector<std::uint8_t> Noise(unsigned count) {
    std::vector<std::uint8_t> noise;
    std::uint32_t state = 0x2545F491;
    while (noise.size() < count) {
        state = state * 1664525u + 1013904223u;
        const auto byte = static_cast<std::uint8_t>(state >> 24);
        if (byte != kAnswerByte) {
            noise.push_back(byte);
        }
    }
    return noise;
}

std::string PageName(std::uint32_t page) {
    return "page " + std::to_string(page);
}

}  // namespace

Module::Module(const Faults& faults, unsigned answerPoll, std::uint32_t maxPages)
    : faults_(faults), answerPoll_(answerPoll), maxPages_(maxPages) {
    page_.reserve(kPageRecord);
}

std::string Module::Describe(std::span<const std::uint8_t> data) const {
    if (data.empty()) {
        return "empty";
    }
    const bool poll = data.size() == 1 && data[0] == kPollByte;
    switch (state_) {
        case State::Polling:
            return poll ? "poll" : "unexpected data";
        case State::Answered:
            if (poll) {
                return "poll";
            }
            return data[0] == static_cast<std::uint8_t>(kTargetIdentification[0])
                       ? "target identification"
                       : "unexpected data";
        case State::Identifying:
            return "target identification";
        case State::Pages: {
            const std::size_t at = page_.size();
            const std::string name = PageName(pagesAccepted_);
            if (at == 0) {
                const bool end = data.size() >= kAddressLength && BigEndian(data) == kEndMarker;
                return end ? "end marker" : name + " address";
            }
            if (at < kAddressLength) {
                return name + " address";
            }
            if (at < kAddressLength + kPageSize) {
                return name + " data from byte " + std::to_string(at - kAddressLength);
            }
            return name + " checksum";
        }
        case State::Ended:
            return "data after the end marker";
        case State::Full:
            return "data beyond module memory";
    }
    return {};
}

void Module::Receive(std::span<const std::uint8_t> data, ModuleOutput& out) {
    std::vector<std::uint8_t> unexpected;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint8_t byte = data[i];
        switch (state_) {
            case State::Polling:
                if (byte == kPollByte) {
                    OnPoll(out);
                } else {
                    unexpected.push_back(byte);
                }
                break;
            case State::Answered:
                if (byte == kPollByte) {
                    ++counters_.polls;
                    out.notes.push_back("poll after the answer (left unanswered)");
                } else if (byte == static_cast<std::uint8_t>(kTargetIdentification[0])) {
                    state_ = State::Identifying;
                    idMatched_ = 1;
                } else {
                    unexpected.push_back(byte);
                }
                break;
            case State::Identifying:
                if (byte != static_cast<std::uint8_t>(kTargetIdentification[idMatched_])) {
                    out.violations.push_back(
                        "target identification differs at character " + std::to_string(idMatched_) +
                        ": got '" + Printable(data.subspan(i, 1)) + "', expected '" +
                        std::string(1, kTargetIdentification[idMatched_]) + "'");
                    // Wait for a new attempt; the rest of this frame is part of the bad one.
                    state_ = State::Answered;
                    idMatched_ = 0;
                    return;
                }
                if (++idMatched_ == kTargetIdentification.size()) {
                    out.notes.push_back("target identification received");
                    ReplyToIdentification(out);
                    state_ = State::Pages;
                }
                break;
            case State::Pages:
                page_.push_back(byte);
                if (page_.size() == kAddressLength && BigEndian(page_) == kEndMarker) {
                    out.notes.push_back("end marker after " + std::to_string(pagesAccepted_) +
                                        " pages");
                    page_.clear();
                    state_ = State::Ended;
                } else if (page_.size() == kPageRecord) {
                    OnPageComplete(out);
                    page_.clear();
                }
                break;
            case State::Ended:
            case State::Full:
                unexpected.push_back(byte);
                break;
        }
    }
    if (!unexpected.empty()) {
        std::string where = state_ == State::Ended  ? "after the end marker"
                            : state_ == State::Full ? "beyond module memory"
                                                    : "before the target identification";
        out.violations.push_back(
            std::to_string(unexpected.size()) + " unexpected data bytes " + where + ": " +
            HexDigits(std::span(unexpected).first(std::min<std::size_t>(unexpected.size(), 16))));
    }
}

void Module::OnPoll(ModuleOutput& out) {
    ++counters_.polls;
    if (counters_.polls != answerPoll_) {
        return;
    }
    if (faults_.neverAnswer) {
        ++counters_.faultsInjected;
        out.notes.push_back("poll " + std::to_string(counters_.polls) +
                            " left unanswered (fault: never answer)");
        return;
    }
    if (faults_.noiseBytes > 0) {
        ++counters_.faultsInjected;
        Reply(Noise(faults_.noiseBytes), "noise (fault)", out);
    }
    Reply({kAnswerByte}, "poll answer", out);
    state_ = State::Answered;
}

void Module::ReplyToIdentification(ModuleOutput& out) {
    if (faults_.noId) {
        ++counters_.faultsInjected;
        out.notes.push_back("identification withheld (fault: no identification)");
        return;
    }
    std::string id(kBootLoaderIdentification);
    std::string what = "boot-loader identification";
    auto fault = [&](std::string_view name) {
        ++counters_.faultsInjected;
        what += std::string(what.find('(') == std::string::npos ? " (fault: " : ", ") +
                std::string(name);
    };
    if (faults_.idWrong) {
        id.back() = id.back() == '5' ? '4' : '5';
        fault("wrong");
    }
    if (faults_.idLowerCase) {
        for (char& c : id) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        fault("lower case");
    }
    if (faults_.idTooLong) {
        id += id.back();
        fault("too long");
    }
    if (faults_.idTooShort) {
        id.pop_back();
        fault("too short");
    }
    std::vector<std::uint8_t> line(id.begin(), id.end());
    if (faults_.noCr) {
        fault("no CR");
    } else {
        line.push_back(kCarriageReturn);
    }
    if (faults_.idCrLf) {
        line.push_back(kLineFeed);
        fault("CR LF");
    }
    if (what.find('(') != std::string::npos) {
        what += ")";
    }
    Reply(std::move(line), what, out);

    if (faults_.noReady) {
        ++counters_.faultsInjected;
        out.notes.push_back("ready byte withheld (fault: no ready byte)");
        return;
    }
    const std::uint8_t ready = faults_.readyByte.value_or(kReadyByte);
    if (ready != kReadyByte) {
        ++counters_.faultsInjected;
        Reply({ready}, "ready (fault: wrong ready byte)", out);
    } else {
        Reply({ready}, "ready", out);
    }
}

void Module::OnPageComplete(ModuleOutput& out) {
    ++counters_.pageSends;
    const std::uint32_t page = pagesAccepted_;
    const std::string name = PageName(page);
    const std::uint32_t address = BigEndian(page_);
    const std::span<const std::uint8_t> data(page_.data() + kAddressLength, kPageSize);
    const auto sum = static_cast<std::uint8_t>(std::accumulate(data.begin(), data.end(), 0u));
    const std::uint8_t checksum = page_.back();

    if (page >= maxPages_) {
        out.violations.push_back(name + " is beyond the module memory of " +
                                 std::to_string(maxPages_) + " pages; no reply");
        state_ = State::Full;
        return;
    }
    if (const auto retry = faults_.retryPages.find(page);
        retry != faults_.retryPages.end() && retriesInjected_[page] < retry->second) {
        ++retriesInjected_[page];
        ++counters_.faultsInjected;
        ++counters_.retries;
        Reply({kRetryByte},
              name + " retry " + std::to_string(retriesInjected_[page]) + " of " +
                  std::to_string(retry->second) + " (fault)",
              out);
        return;
    }
    if (faults_.silentPages.contains(page)) {
        ++counters_.faultsInjected;
        out.notes.push_back(name + " left unanswered (fault: no reply)");
        return;
    }
    if (const auto bad = faults_.badReplyPages.find(page); bad != faults_.badReplyPages.end()) {
        ++counters_.faultsInjected;
        Reply({bad->second}, name + " answered with " + HexByte(bad->second) + " (fault)", out);
        return;
    }
    const std::uint32_t expected = page * static_cast<std::uint32_t>(kPageSize);
    if (address != expected) {
        out.violations.push_back(name + " came with address " + std::to_string(address) +
                                 ", expected " + std::to_string(expected));
        ++counters_.retries;
        Reply({kRetryByte}, name + " rejected: wrong address", out);
        return;
    }
    if (checksum != sum) {
        out.violations.push_back(name + " checksum is " + HexByte(checksum) + ", the data sum " +
                                 HexByte(sum));
        ++counters_.retries;
        Reply({kRetryByte}, name + " rejected: wrong checksum", out);
        return;
    }
    image_.insert(image_.end(), data.begin(), data.end());
    ++pagesAccepted_;
    if (faults_.doubleReplyPages.contains(page)) {
        ++counters_.faultsInjected;
        Reply({kReadyByte, kReadyByte}, name + " accepted, '!' sent twice (fault)", out);
    } else {
        Reply({kReadyByte}, name + " accepted", out);
    }
    out.replies.back().acknowledgesPage = true;
    if (faults_.closeAfterPage == page) {
        ++counters_.faultsInjected;
        out.replies.back().closeLineAfter = true;
        out.notes.push_back("line closes after " + name + " (fault)");
    }
}

void Module::Reply(std::vector<std::uint8_t> bytes, std::string what, ModuleOutput& out) {
    out.replies.push_back({std::move(bytes), std::move(what), false, false});
}

}  // namespace vorenta::sim
