#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileAccess.h"
#include "platform/LogFolder.h"
#include "platform/TickSource.h"
#include "update/SessionLog.h"

namespace vorenta {

// "2026-12-07_14-02-31_vorenta-update_COM3.log"
std::string SessionLogName(const LocalTime& started, std::string_view program, int comNumber);
// True for names SessionLogName makes (also with a "-2" before ".log").
bool IsSessionLogName(std::string_view name);

struct SessionLogEntry {
    std::string name;
    std::optional<SessionResult> result;  // nothing: unfinished
};

// The logs to remove, oldest first, so that `keep` of `newestFirst` remain:
// the oldest go first, except that the newest `keptFailures` logs of failed
// or unfinished sessions go only when nothing else is left to remove.
std::vector<std::string> LogsToRemove(const std::vector<SessionLogEntry>& newestFirst,
                                      std::size_t keep, std::size_t keptFailures);

// The session logs in the per-user log folder.
class SessionLogStore {
  public:
    static constexpr std::size_t kKeptLogs = 50;
    static constexpr std::size_t kKeptFailures = 10;

    explicit SessionLogStore(ILogFolder& folder) : folder_(folder) {}

    std::string FolderPath() const { return folder_.Path(); }
    // Why the logs cannot be listed; empty when they can.
    std::string ListProblem() { return folder_.ListProblem(); }
    // The session logs, newest first (by their numbers, then by their
    // names), with their outcomes.
    std::vector<SessionLogEntry> Logs();
    // Removes old logs so that one more fits within kKeptLogs. Only logs this
    // system wrote (by their name, their first line and their owner) are
    // counted or removed.
    void MakeRoomForOne();
    // The number for a new log: one more than any in the folder.
    std::uint64_t NextLogNumber();
    // A new log for a session started now; a name already taken (two
    // sessions in one second) gets "-2", "-3"... Null, with the reason in
    // `error`, when no file can be created.
    std::unique_ptr<SessionLog> Create(const LocalTime& started, std::string_view program,
                                       int comNumber, ITickSource& clock, std::string& error);

  private:
    struct FoundLog {
        SessionLogEntry entry;
        std::uint64_t number = 0;  // 0: a log from before logs were numbered
        bool ours = false;         // begins as this system's logs do
    };
    // Newest first.
    std::vector<FoundLog> Found();

    ILogFolder& folder_;
};

}  // namespace vorenta
