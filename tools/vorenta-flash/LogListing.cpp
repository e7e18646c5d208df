#include "LogListing.h"

namespace vorenta {

namespace {
constexpr std::string_view kUnfinished = "unfinished";
constexpr std::size_t kOutcomeWidth = 11;
}  // namespace

std::string SessionLogListing(SessionLogStore& store, std::size_t count) {
    const std::vector<SessionLogEntry> logs = store.Logs();
    if (logs.empty()) {
        return "No session logs in " + store.FolderPath() + "\n";
    }
    std::string text = "Session logs in " + store.FolderPath() + ", newest first:\n";
    for (std::size_t i = 0; i < logs.size() && i < count; ++i) {
        std::string outcome(logs[i].result ? SessionResultName(*logs[i].result) : kUnfinished);
        outcome.resize(kOutcomeWidth, ' ');
        text += outcome + logs[i].name + "\n";
    }
    if (logs.size() > count) {
        text += "(" + std::to_string(logs.size() - count) + " older not shown)\n";
    }
    return text;
}

}  // namespace vorenta
