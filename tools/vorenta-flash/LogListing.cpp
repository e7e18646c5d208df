#include "LogListing.h"

#include "common/PrintableText.h"

namespace vorenta {

namespace {
constexpr std::string_view kUnfinished = "unfinished";
constexpr std::size_t kOutcomeWidth = 11;
}  // namespace

std::string SessionLogListing(SessionLogStore& store, std::size_t count) {
    const std::vector<SessionLogEntry> logs = store.Logs();
    const std::string folder = PrintableLine(store.FolderPath());
    if (logs.empty()) {
        return "No session logs in " + folder + "\n";
    }
    std::string text = "Session logs in " + folder + ", newest first:\n";
    for (std::size_t i = 0; i < logs.size() && i < count; ++i) {
        std::string outcome(logs[i].result ? SessionResultName(*logs[i].result) : kUnfinished);
        outcome.resize(kOutcomeWidth, ' ');
        // A name is anyone's to choose: no control character of it reaches the terminal.
        text += outcome + PrintableLine(logs[i].name) + "\n";
    }
    if (logs.size() > count) {
        text.append(1, '(')
            .append(std::to_string(logs.size() - count))
            .append(" older not shown)\n");
    }
    return text;
}

}  // namespace vorenta
