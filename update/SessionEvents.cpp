#include "update/SessionEvents.h"

namespace vorenta {

namespace {
constexpr std::string_view kParagraphBreak = "\n\n";
}  // namespace

std::string SessionOutcome::Headline() const {
    std::string_view headline = std::string_view(text).substr(0, text.find(kParagraphBreak));
    while (!headline.empty() &&
           (headline.back() == ' ' || headline.back() == '\n' || headline.back() == '\r')) {
        headline.remove_suffix(1);
    }
    return std::string(headline);
}

void SessionEventFanOut::OnSessionStarted(const SessionStart& start) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnSessionStarted(start);
    }
}

void SessionEventFanOut::OnArmed(int comNumber, const std::string& devicePath) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnArmed(comNumber, devicePath);
    }
}

void SessionEventFanOut::OnModuleAnswered(std::string_view identification) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnModuleAnswered(identification);
    }
}

void SessionEventFanOut::OnPageSending(std::uint64_t page, std::uint64_t pageCount) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnPageSending(page, pageCount);
    }
}

void SessionEventFanOut::OnPageResent(std::uint64_t page) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnPageResent(page);
    }
}

void SessionEventFanOut::OnInputDiscarded(std::uint64_t page, std::span<const std::uint8_t> bytes) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnInputDiscarded(page, bytes);
    }
}

void SessionEventFanOut::OnLineLost(int comNumber) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnLineLost(comNumber);
    }
}

void SessionEventFanOut::OnOutcome(const SessionOutcome& outcome) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnOutcome(outcome);
    }
}

void SessionEventFanOut::OnSessionEnded(SessionResult result) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnSessionEnded(result);
    }
}

void SessionEventFanOut::OnLineShown(std::string_view text) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnLineShown(text);
    }
}

void SessionEventFanOut::OnNote(std::string_view line) {
    for (ISessionEvents* listener : listeners_) {
        listener->OnNote(line);
    }
}

}  // namespace vorenta
