#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileAccess.h"
#include "platform/LogFolder.h"
#include "platform/TickSource.h"
#include "serial/WireLogDevice.h"
#include "update/SessionEvents.h"

namespace vorenta {

// "success", "failure", "cancelled": the word of a log's outcome line.
std::string_view SessionResultName(SessionResult result);
// The outcome a session log ends with, read from its last bytes; nothing
// while the session runs or when the program ended in the middle of it.
std::optional<SessionResult> SessionResultFromTail(std::string_view tail);

// True when `head`, the first bytes of a file, begins as every session log
// this system writes does.
bool IsSessionLogHead(std::string_view head);
// The number a session log's header gives it (one more than any log before
// it in its folder); nothing in a log from before logs were numbered.
std::optional<std::uint64_t> SessionLogNumberFromHead(std::string_view head);

// What a support engineer needs to know before reading the session itself.
struct SessionLogHeader {
    std::uint64_t logNumber = 0;  // orders the logs whatever the clock said
    std::string program;
    std::string version;
    std::string platform;
    LocalTime started;
    std::string firmwarePath;
    std::optional<std::uint64_t> firmwareSize;  // nothing: the file cannot be read
    std::optional<LocalTime> firmwareModified;
    std::string firmwareSha256;
    std::string firmwareVersion;
    int comNumber = 0;
    std::string devicePath;
    std::string adapter;  // what the system knows of the adapter; empty: nothing
};

// The log of one update session, from "Begin Update" to its outcome: a
// header, then every line shown to the operator and every event on the wire,
// each stamped in milliseconds from the start, then the duration and the
// outcome. Writing stops at the first failure, which is reported once.
class SessionLog : public IWireTrace {
  public:
    SessionLog(std::unique_ptr<ILogWriter> writer, ITickSource& clock, std::string path);

    const std::string& Path() const { return path_; }
    bool WriteFailed() const { return failed_; }
    // Called once, at the first write that fails.
    std::function<void(const std::string& path)> onWriteFailure;

    void WriteHeader(const SessionLogHeader& header);
    // A stamped line: "SHOW" a line of the window, "NOTE" the program's log,
    // "SAY" the program's own words, or a wire event.
    void Line(std::string_view what, std::string_view text);
    // The message box in full, one stamped line per line of its text.
    void MessageBox(std::string_view text, std::string_view caption);
    void Trace(std::string_view what, std::string_view detail) override { Line(what, detail); }
    // The duration and the outcome; nothing is written after it.
    void Finish(SessionResult result);

  private:
    void Write(std::string_view text);

    std::unique_ptr<ILogWriter> writer_;
    ITickSource& clock_;
    std::string path_;
    std::uint32_t start_;
    bool failed_ = false;
    bool finished_ = false;
};

// "2026-12-07 14:02:31"
std::string FormatLocalTime(const LocalTime& time);

}  // namespace vorenta
