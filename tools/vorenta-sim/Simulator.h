#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <vector>

#include "tools/vorenta-sim/Options.h"
#include "tools/vorenta-sim/Session.h"
#include "tools/vorenta-sim/SimLine.h"
#include "tools/vorenta-sim/WireLog.h"

namespace vorenta::sim {

// Runs one session on a line: reads what the updater sends, paces it when asked,
// hands it to the session, and sends the replies, each after the reply delay.
class Simulator {
  public:
    using Clock = std::chrono::steady_clock;

    // A byte read from the line, handed to the session once it is due.
    struct Incoming {
        std::uint8_t byte;
        Clock::time_point due;
        unsigned speed;
    };

    Simulator(const SimOptions& options, SimLine& line, Session& session, WireLog& log,
              std::ostream& console);

    // Ends the run as soon as the base station is released, as a production
    // line's base station then meets the next module; whatever came after the
    // release is kept for it (TakeInput).
    void EndAtRelease() { endAtRelease_ = true; }
    // Bytes the previous module's run did not take, handed to this one first.
    void GiveInput(std::deque<Incoming> input) { incoming_ = std::move(input); }
    std::deque<Incoming> TakeInput() { return std::move(incoming_); }

    Ending Run();

  private:
    using Micros = std::chrono::microseconds;

    struct Outgoing {
        ModuleReply reply;
        Clock::time_point madeAt;
        std::optional<Clock::time_point> readyAt;
        std::size_t sent = 0;
    };

    std::uint64_t Ms(Clock::time_point at) const;
    Micros ByteTime(unsigned speed) const;
    void Deliver(std::span<const std::uint8_t> bytes, unsigned speed, Clock::time_point at);
    void DeliverDue(Clock::time_point now, bool all);
    // Sends what is due; returns an ending when the line went down.
    std::optional<Ending> SendDue(Clock::time_point now);
    void ReportViolations();
    void EndInput(std::string_view why, Clock::time_point now);
    int WaitMs(Clock::time_point now) const;

    const SimOptions& options_;
    SimLine& line_;
    Session& session_;
    WireLog& log_;
    std::ostream& console_;
    Clock::time_point start_;
    std::deque<Incoming> incoming_;
    Clock::time_point lastArrival_;
    std::deque<Outgoing> outgoing_;
    Clock::time_point lineFreeAt_;
    Clock::time_point lastReplyDone_;
    bool writeBlocked_ = false;
    bool endAtRelease_ = false;
    bool releasedForNext_ = false;
    std::optional<Clock::time_point> deadline_;
    std::optional<Clock::time_point> graceEnd_;
    // Set once the reply before an injected line close is out.
    std::optional<Clock::time_point> closeAt_;
    unsigned violationsShown_ = 0;
    std::vector<ModuleReply> replies_;
};

}  // namespace vorenta::sim
