#include "tools/vorenta-sim/Session.h"

#include <fstream>

#include "tools/vorenta-sim/Protocol.h"
#include "tools/vorenta-sim/Text.h"

namespace vorenta::sim {

std::string_view EndingText(Ending ending) {
    switch (ending) {
        case Ending::Released:
            return "the updater released the base station";
        case Ending::LineClosed:
            return "the updater closed the line";
        case Ending::ClosedByFault:
            return "the simulator closed the line (fault)";
        case Ending::Stopped:
            return "stopped by a signal";
        case Ending::TimedOut:
            return "time limit reached";
        case Ending::LineError:
            return "the line failed";
    }
    return {};
}

Session::Session(const SimOptions& options, WireLog& log)
    : imagePath_(options.imagePath),
      log_(log),
      base_(options.skipPreparation, options.speedCheck),
      module_(options.faults, options.answerPoll, options.maxPages) {}

std::size_t Session::Receive(std::span<const std::uint8_t> data, unsigned speed, std::uint64_t ms,
                             std::vector<ModuleReply>& replies) {
    // A byte at a time, so the release is seen where it ends.
    for (std::size_t taken = 0; taken < data.size(); ++taken) {
        items_.clear();
        decoder_.Feed(data.subspan(taken, 1), speed, items_);
        bool released = false;
        for (const WireItem& item : items_) {
            Handle(item, ms, replies);
            released = released || (item.kind == WireItem::Kind::Command &&
                                    item.command == BaseCommand::Release);
        }
        if (released) {
            return taken + 1;
        }
    }
    return data.size();
}

void Session::EndOfInput(std::string_view why, unsigned speed, std::uint64_t ms) {
    items_.clear();
    decoder_.Finish(why, items_);
    std::vector<ModuleReply> ignored;
    for (const WireItem& item : items_) {
        Handle(item, ms, ignored);
    }
    log_.Note(ms, speed, why);
}

void Session::ReplySent(const ModuleReply& reply) {
    if (reply.acknowledgesPage) {
        ++pagesAcknowledged_;
    }
}

void Session::Handle(const WireItem& item, std::uint64_t ms, std::vector<ModuleReply>& replies) {
    switch (item.kind) {
        case WireItem::Kind::Violation:
            Violation(ms, item.speed, item.problem, item.bytes, item.wireLength);
            return;
        case WireItem::Kind::Command: {
            log_.Record(ms, "in", item.speed, "command", Printable(item.bytes), item.wireLength,
                        item.bytes);
            const bool endBefore = module_.EndMarkerSeen();
            for (const std::string& problem : base_.OnCommand(item.command, item.speed)) {
                Violation(ms, item.speed, problem, {}, 0);
            }
            if (item.command == BaseCommand::Release && !releasedAfterEnd_) {
                releasedAfterEnd_ = endBefore;
                log_.Note(ms, item.speed, "base station released");
            }
            return;
        }
        case WireItem::Kind::Frame: {
            log_.Record(ms, "in", item.speed, "frame", module_.Describe(item.bytes),
                        item.wireLength, item.bytes);
            const bool relay = !base_.Released();
            for (const std::string& problem : base_.OnFrame(item.speed)) {
                Violation(ms, item.speed, problem, {}, 0);
            }
            if (!relay) {
                return;
            }
            const bool endBefore = module_.EndMarkerSeen();
            ModuleOutput out;
            module_.Receive(item.bytes, out);
            for (const std::string& note : out.notes) {
                log_.Note(ms, item.speed, note);
            }
            for (const std::string& problem : out.violations) {
                Violation(ms, item.speed, problem, {}, 0);
            }
            for (ModuleReply& reply : out.replies) {
                replies.push_back(std::move(reply));
            }
            if (!endBefore && module_.EndMarkerSeen()) {
                WriteImage(ms, item.speed);
            }
            return;
        }
    }
}

void Session::Violation(std::uint64_t ms, unsigned speed, const std::string& what,
                        std::span<const std::uint8_t> bytes, std::size_t wireBytes) {
    ++violations_;
    log_.Record(ms, "in", speed, "violation", what, wireBytes, bytes);
    newViolations_.push_back(what);
}

std::vector<std::string> Session::TakeNewViolations() {
    std::vector<std::string> taken;
    taken.swap(newViolations_);
    return taken;
}

void Session::WriteImage(std::uint64_t ms, unsigned speed) {
    if (imagePath_.empty()) {
        return;
    }
    const std::vector<std::uint8_t>& image = module_.Image();
    std::ofstream file(imagePath_, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    file.close();
    if (!file) {
        imageError_ = "cannot write the image to " + imagePath_;
        log_.Note(ms, speed, imageError_);
        return;
    }
    imageWritten_ = true;
    log_.Note(ms, speed,
              "image of " + std::to_string(image.size()) + " bytes written to " + imagePath_);
}

bool Session::Complete() const {
    return module_.EndMarkerSeen() && releasedAfterEnd_ && violations_ == 0 && imageError_.empty();
}

std::string Session::Summary(Ending ending) const {
    const ModuleCounters& counters = module_.Counters();
    std::string result;
    if (Complete()) {
        result = "complete update";
    } else {
        result = "incomplete update:";
        std::string sep = " ";
        auto add = [&](const std::string& why) {
            result += sep + why;
            sep = "; ";
        };
        if (!module_.EndMarkerSeen()) {
            add("no end marker");
        } else if (!releasedAfterEnd_) {
            add("no release after the end marker");
        }
        if (violations_ > 0) {
            add("protocol violations");
        }
        if (!imageError_.empty()) {
            add(imageError_);
        }
    }
    std::string text = "vorenta-sim: " + result + "\n";
    text += "  pages received: " + std::to_string(pagesAcknowledged_) + " accepted, " +
            std::to_string(counters.pageSends) + " sends\n";
    text += "  retries: " + std::to_string(counters.retries) + "\n";
    text += "  faults injected: " + std::to_string(counters.faultsInjected) + "\n";
    text += "  protocol violations: " + std::to_string(violations_) + "\n";
    if (imageWritten_) {
        text +=
            "  image: " + imagePath_ + " (" + std::to_string(module_.Image().size()) + " bytes)\n";
    }
    text += "  ended: " + std::string(EndingText(ending)) + "\n";
    return text;
}

}  // namespace vorenta::sim
