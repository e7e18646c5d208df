#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/vorenta-sim/BaseStation.h"
#include "tools/vorenta-sim/FrameDecoder.h"
#include "tools/vorenta-sim/Module.h"
#include "tools/vorenta-sim/Options.h"
#include "tools/vorenta-sim/WireLog.h"

namespace vorenta::sim {

// Why a run ended.
enum class Ending { Released, LineClosed, ClosedByFault, Stopped, TimedOut, LineError };

std::string_view EndingText(Ending ending);

// One update as the far end of the line sees it: the decoder, the base station
// and the module put together, without any I/O but the image file. Every item
// goes to the wire log; the replies come back to the caller to be sent.
class Session {
  public:
    Session(const SimOptions& options, WireLog& log);

    // Bytes read from the line at `speed`, counted as received at `ms`. Stops
    // right after a base release, as what follows may be the next module's
    // session; returns how many bytes it took.
    std::size_t Receive(std::span<const std::uint8_t> data, unsigned speed, std::uint64_t ms,
                        std::vector<ModuleReply>& replies);
    // No more input will come; `why` says what stopped it.
    void EndOfInput(std::string_view why, unsigned speed, std::uint64_t ms);
    // A reply has gone out whole on the line.
    void ReplySent(const ModuleReply& reply);
    // Pages whose acceptance reached the line; the module may have taken more.
    std::uint32_t PagesAcknowledged() const { return pagesAcknowledged_; }

    bool Released() const { return base_.Released(); }
    // Identification, every page, end marker and release, without a single violation.
    bool Complete() const;
    unsigned Violations() const { return violations_; }
    // Violation texts since the last call, for the console.
    std::vector<std::string> TakeNewViolations();
    const Module& module() const { return module_; }

    std::string Summary(Ending ending) const;

  private:
    void Handle(const WireItem& item, std::uint64_t ms, std::vector<ModuleReply>& replies);
    void Violation(std::uint64_t ms, unsigned speed, const std::string& what,
                   std::span<const std::uint8_t> bytes, std::size_t wireBytes);
    void WriteImage(std::uint64_t ms, unsigned speed);

    std::string imagePath_;
    WireLog& log_;
    FrameDecoder decoder_;
    BaseStation base_;
    Module module_;
    unsigned violations_ = 0;
    std::uint32_t pagesAcknowledged_ = 0;
    std::vector<std::string> newViolations_;
    bool releasedAfterEnd_ = false;
    bool imageWritten_ = false;
    std::string imageError_;
    std::vector<WireItem> items_;
};

}  // namespace vorenta::sim
