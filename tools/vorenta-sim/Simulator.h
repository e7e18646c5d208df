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
    Simulator(const SimOptions& options, SimLine& line, Session& session, WireLog& log,
              std::ostream& console);

    Ending Run();

  private:
    using Clock = std::chrono::steady_clock;
    using Micros = std::chrono::microseconds;

    struct Incoming {
        std::uint8_t byte;
        Clock::time_point due;
        unsigned speed;
    };
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
    std::optional<Clock::time_point> deadline_;
    std::optional<Clock::time_point> graceEnd_;
    // Set once the reply before an injected line close is out.
    std::optional<Clock::time_point> closeAt_;
    unsigned violationsShown_ = 0;
    std::vector<ModuleReply> replies_;
};

}  // namespace vorenta::sim
