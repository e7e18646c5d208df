#include "tools/vorenta-sim/Simulator.h"

#include <algorithm>

#include "tools/vorenta-sim/Protocol.h"

namespace vorenta::sim {

namespace {

using namespace std::chrono_literals;

// The updater closes the line about 200 ms after the release; a simulator left
// with an open line ends on its own after this long.
constexpr auto kReleaseGrace = 2000ms;
// Longest sleep of the loop, so time limits are kept even when nothing happens.
constexpr auto kLongestWait = 1000ms;
// Poll interval while the updater has not opened its side, or the line is full.
constexpr int kIdleWaitMs = 20;
constexpr int kBlockedWaitMs = 5;
constexpr unsigned kBitsPerByte = 10;
constexpr unsigned kViolationsShown = 50;
// An injected close waits after the last reply until the updater sends again (so it
// has read the reply) or this long has passed: a hang-up discards what the other side
// has not read yet.
constexpr auto kCloseLinger = 100ms;

}  // namespace

Simulator::Simulator(const SimOptions& options, SimLine& line, Session& session, WireLog& log,
                     std::ostream& console)
    : options_(options), line_(line), session_(session), log_(log), console_(console) {}

std::uint64_t Simulator::Ms(Clock::time_point at) const {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(at - start_).count());
}

Simulator::Micros Simulator::ByteTime(unsigned speed) const {
    const unsigned bitsPerSecond = speed == 0 ? kSessionSpeed : speed;
    return Micros(kBitsPerByte * 1000000ull / bitsPerSecond);
}

void Simulator::Deliver(std::span<const std::uint8_t> bytes, unsigned speed, Clock::time_point at) {
    if (closeAt_) {
        // The module is gone from the line; the updater has read the last reply.
        log_.Note(Ms(at), speed,
                  std::to_string(bytes.size()) + " bytes not taken: the line is closing (fault)");
        closeAt_ = std::min(*closeAt_, at);
        return;
    }
    replies_.clear();
    std::size_t taken = 0;
    while (taken < bytes.size() && !releasedForNext_) {
        taken += session_.Receive(bytes.subspan(taken), speed, Ms(at), replies_);
        releasedForNext_ = endAtRelease_ && session_.Released();
    }
    // What follows the release is the next module's, ahead of anything read later.
    std::deque<Incoming> rest;
    for (std::size_t i = taken; i < bytes.size(); ++i) {
        rest.push_back({bytes[i], at, speed});
    }
    incoming_.insert(incoming_.begin(), rest.begin(), rest.end());
    for (ModuleReply& reply : replies_) {
        outgoing_.push_back({std::move(reply), at, std::nullopt, 0});
    }
    ReportViolations();
}

void Simulator::DeliverDue(Clock::time_point now, bool all) {
    std::vector<std::uint8_t> run;
    while (!incoming_.empty() && !releasedForNext_ && (all || incoming_.front().due <= now)) {
        const Incoming first = incoming_.front();
        run.clear();
        // Bytes due together at one speed go in one piece, so a frame is logged once.
        while (!incoming_.empty() && (all || incoming_.front().due <= now) &&
               incoming_.front().speed == first.speed) {
            run.push_back(incoming_.front().byte);
            incoming_.pop_front();
        }
        Deliver(run, first.speed, all ? now : std::min(now, first.due));
    }
}

std::optional<Ending> Simulator::SendDue(Clock::time_point now) {
    writeBlocked_ = false;
    if (closeAt_) {
        outgoing_.clear();
        if (now < *closeAt_) {
            return std::nullopt;
        }
        line_.Close();
        EndInput("line closed by the simulator (fault)", now);
        return Ending::ClosedByFault;
    }
    while (!outgoing_.empty()) {
        Outgoing& head = outgoing_.front();
        if (!head.readyAt) {
            head.readyAt = std::max(head.madeAt, lastReplyDone_) +
                           std::chrono::milliseconds(options_.faults.replyDelayMs);
        }
        if (now < *head.readyAt) {
            return std::nullopt;
        }
        const std::vector<std::uint8_t>& bytes = head.reply.bytes;
        const unsigned speed = line_.Speed();
        if (head.sent == 0) {
            log_.Record(Ms(now), "out", speed, "reply", head.reply.what, bytes.size(), bytes);
        }
        while (head.sent < bytes.size()) {
            std::size_t count = bytes.size() - head.sent;
            Clock::time_point done = now;
            if (options_.pace) {
                // A byte reaches the far end once its ten bits have been on the line.
                done = std::max(lineFreeAt_, *head.readyAt) + ByteTime(speed);
                if (done > now) {
                    return std::nullopt;
                }
                count = 1;
            }
            const long written = line_.Write(std::span(bytes).subspan(head.sent, count));
            if (written < 0) {
                EndInput("line failed while sending: " + line_.LastError(), now);
                return Ending::LineError;
            }
            if (written == 0) {
                writeBlocked_ = true;
                return std::nullopt;
            }
            head.sent += static_cast<std::size_t>(written);
            lineFreeAt_ = done;
        }
        lastReplyDone_ = now;
        session_.ReplySent(head.reply);
        const bool close = head.reply.closeLineAfter;
        outgoing_.pop_front();
        if (close) {
            closeAt_ = now + kCloseLinger;
            outgoing_.clear();
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void Simulator::EndInput(std::string_view why, Clock::time_point now) {
    session_.EndOfInput(why, line_.Speed(), Ms(now));
    ReportViolations();
}

void Simulator::ReportViolations() {
    for (const std::string& text : session_.TakeNewViolations()) {
        if (violationsShown_ < kViolationsShown) {
            console_ << "vorenta-sim: violation: " << text << '\n';
        } else if (violationsShown_ == kViolationsShown) {
            console_ << "vorenta-sim: further violations are only counted and logged\n";
        }
        ++violationsShown_;
    }
    console_.flush();
}

int Simulator::WaitMs(Clock::time_point now) const {
    Clock::time_point until = now + kLongestWait;
    if (!incoming_.empty()) {
        until = std::min(until, incoming_.front().due);
    }
    if (!outgoing_.empty()) {
        const Outgoing& head = outgoing_.front();
        Clock::time_point next = head.readyAt.value_or(now);
        if (options_.pace) {
            next = std::max(next, lineFreeAt_ + ByteTime(kSessionSpeed));
        }
        until = std::min(until, next);
    }
    if (deadline_) {
        until = std::min(until, *deadline_);
    }
    if (graceEnd_) {
        until = std::min(until, *graceEnd_);
    }
    if (closeAt_) {
        until = std::min(until, *closeAt_);
    }
    if (until <= now) {
        return 0;
    }
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
    if (writeBlocked_) {
        ms = std::min<decltype(ms)>(ms, kBlockedWaitMs);
    }
    return static_cast<int>(ms);
}

Ending Simulator::Run() {
    start_ = Clock::now();
    lastArrival_ = lineFreeAt_ = lastReplyDone_ = start_;
    if (options_.timeoutSeconds) {
        deadline_ = start_ + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(*options_.timeoutSeconds));
    }
    // Bytes handed over from the module before: the updater is on the line.
    bool connected = !incoming_.empty();
    bool waitingForPeer = false;
    std::vector<std::uint8_t> buffer;
    for (;;) {
        const auto waited =
            line_.Wait(waitingForPeer ? kIdleWaitMs : WaitMs(Clock::now()), !waitingForPeer);
        const Clock::time_point now = Clock::now();
        if (waited == SimLine::WaitResult::Stop) {
            DeliverDue(now, true);
            EndInput("stopped by a signal", now);
            return Ending::Stopped;
        }

        buffer.clear();
        const SimLine::ReadResult read = line_.Read(buffer);
        waitingForPeer = false;
        if (read == SimLine::ReadResult::Data) {
            connected = true;
            const unsigned speed = line_.Speed();
            if (options_.pace) {
                for (const std::uint8_t byte : buffer) {
                    lastArrival_ = std::max(lastArrival_, now) + ByteTime(speed);
                    incoming_.push_back({byte, lastArrival_, speed});
                }
            } else if (!incoming_.empty()) {
                // Behind what the module before left on the line.
                for (const std::uint8_t byte : buffer) {
                    incoming_.push_back({byte, now, speed});
                }
            } else {
                Deliver(buffer, speed, now);
            }
        } else if (read == SimLine::ReadResult::HungUp) {
            if (connected) {
                DeliverDue(now, true);
                const bool released = session_.Released();
                EndInput("line closed", now);
                return released ? Ending::Released : Ending::LineClosed;
            }
            // The updater has not opened its side yet, or only looked at it.
            waitingForPeer = true;
        } else if (read == SimLine::ReadResult::Failed) {
            DeliverDue(now, true);
            EndInput("line failed: " + line_.LastError(), now);
            return Ending::LineError;
        }

        DeliverDue(now, false);
        if (releasedForNext_) {
            EndInput("base station released; the next module follows", now);
            return Ending::Released;
        }
        if (session_.Released()) {
            // Nothing more goes to a released base; wait a little for the close.
            outgoing_.clear();
            if (!graceEnd_) {
                graceEnd_ = now + kReleaseGrace;
            }
        }
        if (const auto ending = SendDue(now)) {
            return *ending;
        }
        if (graceEnd_ && now >= *graceEnd_) {
            EndInput("line left open after the release", now);
            return Ending::Released;
        }
        if (deadline_ && now >= *deadline_) {
            DeliverDue(now, true);
            EndInput("time limit reached", now);
            return Ending::TimedOut;
        }
    }
}

}  // namespace vorenta::sim
