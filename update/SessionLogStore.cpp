#include "update/SessionLogStore.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace vorenta {

namespace {

constexpr std::string_view kExtension = ".log";
// "YYYY-MM-DD_HH-MM-SS_": digits wherever this pattern has a '9'.
constexpr std::string_view kStampPattern = "9999-99-99_99-99-99_";
// The duration and outcome lines end every finished log.
constexpr std::size_t kTailBytes = 256;
// The title and the log's number begin every log.
constexpr std::size_t kHeadBytes = 128;
// Every program of this system is named so; another program's log is never touched.
constexpr std::string_view kProgramPrefix = "vorenta-";
constexpr int kMaxNameTries = 100;

}  // namespace

std::string SessionLogName(const LocalTime& started, std::string_view program, int comNumber) {
    std::array<char, 32> stamp{};
    std::snprintf(stamp.data(), stamp.size(), "%04d-%02d-%02d_%02d-%02d-%02d_", started.year,
                  started.month, started.day, started.hour, started.minute, started.second);
    return std::string(stamp.data()) + std::string(program) + "_COM" + std::to_string(comNumber) +
           std::string(kExtension);
}

bool IsSessionLogName(std::string_view name) {
    if (name.size() <= kStampPattern.size() + kExtension.size() ||
        name.substr(name.size() - kExtension.size()) != kExtension) {
        return false;
    }
    for (std::size_t i = 0; i < kStampPattern.size(); ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (kStampPattern[i] == '9' ? !digit : name[i] != kStampPattern[i]) {
            return false;
        }
    }
    return name.substr(kStampPattern.size()).starts_with(kProgramPrefix) &&
           name.find("_COM", kStampPattern.size()) != std::string_view::npos;
}

std::vector<std::string> LogsToRemove(const std::vector<SessionLogEntry>& newestFirst,
                                      std::size_t keep, std::size_t keptFailures) {
    std::vector<std::string> removed;
    std::size_t toRemove = newestFirst.size() > keep ? newestFirst.size() - keep : 0;
    std::vector<bool> isProtected(newestFirst.size(), false);
    for (std::size_t i = 0, failures = 0; i < newestFirst.size() && failures < keptFailures; ++i) {
        const auto result = newestFirst[i].result;
        if (result != SessionResult::Success && result != SessionResult::Cancelled) {
            isProtected[i] = true;
            ++failures;
        }
    }
    std::vector<bool> taken(newestFirst.size(), false);
    // From the oldest: first the unprotected logs, then, only if that was
    // not enough, the protected ones.
    for (const bool protectedRound : {false, true}) {
        for (std::size_t i = newestFirst.size(); i > 0 && toRemove > 0; --i) {
            if (!taken[i - 1] && isProtected[i - 1] == protectedRound) {
                taken[i - 1] = true;
                removed.push_back(newestFirst[i - 1].name);
                --toRemove;
            }
        }
    }
    return removed;
}

std::vector<SessionLogStore::FoundLog> SessionLogStore::Found() {
    std::vector<FoundLog> logs;
    for (std::string& name : folder_.List()) {
        if (!IsSessionLogName(name)) {
            continue;
        }
        const std::string head = folder_.ReadHead(name, kHeadBytes);
        FoundLog log;
        log.number = SessionLogNumberFromHead(head).value_or(0);
        log.ours = IsSessionLogHead(head);
        log.entry.result = SessionResultFromTail(folder_.ReadTail(name, kTailBytes));
        log.entry.name = std::move(name);
        logs.push_back(std::move(log));
    }
    // By number, as the names' local times go back with the clock; two
    // sessions that took one number at once, and unnumbered logs, by name.
    std::sort(logs.begin(), logs.end(), [](const FoundLog& a, const FoundLog& b) {
        return a.number != b.number ? a.number > b.number : a.entry.name > b.entry.name;
    });
    return logs;
}

std::vector<SessionLogEntry> SessionLogStore::Logs() {
    std::vector<SessionLogEntry> logs;
    for (FoundLog& log : Found()) {
        logs.push_back(std::move(log.entry));
    }
    return logs;
}

void SessionLogStore::MakeRoomForOne() {
    std::vector<SessionLogEntry> ours;
    for (FoundLog& log : Found()) {
        if (log.ours) {
            ours.push_back(std::move(log.entry));
        }
    }
    for (const std::string& name : LogsToRemove(ours, kKeptLogs - 1, kKeptFailures)) {
        folder_.Remove(name);
    }
}

std::uint64_t SessionLogStore::NextLogNumber() {
    const std::vector<FoundLog> logs = Found();
    return logs.empty() ? 1 : logs.front().number + 1;
}

std::unique_ptr<SessionLog> SessionLogStore::Create(const LocalTime& started,
                                                    std::string_view program, int comNumber,
                                                    ITickSource& clock, std::string& error) {
    const std::string name = SessionLogName(started, program, comNumber);
    const std::vector<std::string> existing = folder_.List();
    const auto taken = [&existing](const std::string& candidate) {
        return std::find(existing.begin(), existing.end(), candidate) != existing.end();
    };
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        std::string tried = name;
        if (attempt > 1) {
            tried.insert(tried.size() - kExtension.size(),
                         std::string(1, '-').append(std::to_string(attempt)));
        }
        if (taken(tried)) {
            continue;
        }
        if (auto writer = folder_.Create(tried, error)) {
            return std::make_unique<SessionLog>(std::move(writer), clock, folder_.PathOf(tried));
        }
        // Another program may have taken the name just now, or something
        // that is no log (a folder, a FIFO) was put there: the next name
        // will do. Any other reason is not cured by another name.
        if (!folder_.Exists(tried)) {
            return nullptr;
        }
    }
    error = "every name for this session's log is taken";
    return nullptr;
}

}  // namespace vorenta
