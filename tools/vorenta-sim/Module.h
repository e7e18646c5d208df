#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "tools/vorenta-sim/Options.h"

namespace vorenta::sim {

struct ModuleReply {
    std::vector<std::uint8_t> bytes;
    std::string what;
    bool closeLineAfter = false;    // the line goes down once these bytes are out
    bool acknowledgesPage = false;  // a page's '!': it counts once it is on the line
};

// What one frame's data made the module do.
struct ModuleOutput {
    std::vector<ModuleReply> replies;
    std::vector<std::string> notes;
    std::vector<std::string> violations;
};

struct ModuleCounters {
    unsigned polls = 0;
    std::uint32_t pageSends = 0;
    unsigned retries = 0;  // '@' replies sent, asked for by a fault or by a bad page
    unsigned faultsInjected = 0;
};

// The module's boot loader in update mode, fed with the data bytes the base
// station unwraps from frames. It sees a byte stream: a page may come in any
// split, and every page is 256 bytes.
class Module {
  public:
    enum class State { Polling, Answered, Identifying, Pages, Ended, Full };

    Module(const Faults& faults, unsigned answerPoll, std::uint32_t maxPages);

    // What the data is, judged from where the module stands before taking it.
    std::string Describe(std::span<const std::uint8_t> data) const;
    void Receive(std::span<const std::uint8_t> data, ModuleOutput& out);

    State state() const { return state_; }
    bool EndMarkerSeen() const { return state_ == State::Ended; }
    std::uint32_t PagesAccepted() const { return pagesAccepted_; }
    const std::vector<std::uint8_t>& Image() const { return image_; }
    const ModuleCounters& Counters() const { return counters_; }

  private:
    void OnPoll(ModuleOutput& out);
    void ReplyToIdentification(ModuleOutput& out);
    void OnPageComplete(ModuleOutput& out);
    void Reply(std::vector<std::uint8_t> bytes, std::string what, ModuleOutput& out);

    Faults faults_;
    unsigned answerPoll_;
    std::uint32_t maxPages_;
    State state_ = State::Polling;
    std::size_t idMatched_ = 0;
    std::vector<std::uint8_t> page_;  // address, data and checksum of the page under way
    std::uint32_t pagesAccepted_ = 0;
    std::map<std::uint32_t, unsigned> retriesInjected_;
    std::vector<std::uint8_t> image_;
    ModuleCounters counters_;
};

}  // namespace vorenta::sim
