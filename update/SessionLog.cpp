#include "update/SessionLog.h"

#include <array>
#include <charconv>

#include <cstdio>
#include "common/PrintableText.h"

namespace vorenta {

namespace {

constexpr std::string_view kTitle = "Vorenta firmware update session log\n";
constexpr std::string_view kOutcomeKey = "outcome:";
constexpr std::string_view kNumberKey = "log number";
constexpr std::string_view kColumns = "      time kind  what\n";
constexpr std::size_t kKeyWidth = 18;

constexpr std::array<std::string_view, 3> kResultNames = {"success", "failure", "cancelled"};

// Values come from files, devices and the system: each stays on its own line
// and brings no control character to the terminal the log is read on.
std::string Field(std::string_view key, std::string_view value) {
    std::string line(key);
    line += ':';
    line.resize(kKeyWidth, ' ');
    line += PrintableLine(value);
    return line + '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string_view SessionResultName(SessionResult result) {
    return kResultNames[static_cast<std::size_t>(result)];
}

std::optional<SessionResult> SessionResultFromTail(std::string_view tail) {
    std::size_t at = tail.rfind(std::string("\n") + std::string(kOutcomeKey));
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = tail.substr(at + 1 + kOutcomeKey.size());
    value = Trimmed(value.substr(0, value.find('\n')));
    for (std::size_t i = 0; i < kResultNames.size(); ++i) {
        if (value == kResultNames[i]) {
            return static_cast<SessionResult>(i);
        }
    }
    return std::nullopt;
}

namespace {

// What follows the title line; nothing when `head` does not begin with it. A
// log copied through a Windows editor may have gained a CR before each LF.
std::optional<std::string_view> AfterTitle(std::string_view head) {
    const std::size_t end = head.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view title = head.substr(0, end);
    if (title.ends_with('\r')) {
        title.remove_suffix(1);
    }
    if (title != kTitle.substr(0, kTitle.size() - 1)) {
        return std::nullopt;
    }
    return head.substr(end + 1);
}

}  // namespace

bool IsSessionLogHead(std::string_view head) {
    return AfterTitle(head).has_value();
}

std::optional<std::uint64_t> SessionLogNumberFromHead(std::string_view head) {
    const auto afterTitle = AfterTitle(head);
    if (!afterTitle) {
        return std::nullopt;
    }
    head = *afterTitle;
    const std::string key = std::string(kNumberKey) + ':';
    if (!head.starts_with(key)) {
        return std::nullopt;
    }
    const std::string_view value = Trimmed(head.substr(key.size(), head.find('\n') - key.size()));
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
        return std::nullopt;
    }
    return number;
}

std::string FormatLocalTime(const LocalTime& time) {
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text.data();
}

SessionLog::SessionLog(std::unique_ptr<ILogWriter> writer, ITickSource& clock, std::string path)
    : writer_(std::move(writer)),
      clock_(clock),
      path_(std::move(path)),
      start_(clock.GetTickCount()) {}

void SessionLog::Write(std::string_view text) {
    if (failed_ || finished_ || !writer_) {
        return;
    }
    if (!writer_->Write(text)) {
        failed_ = true;
        if (onWriteFailure) {
            onWriteFailure(path_);
        }
    }
}

void SessionLog::WriteHeader(const SessionLogHeader& header) {
    std::string text(kTitle);
    text += Field(kNumberKey, std::to_string(header.logNumber));
    text += Field("program", header.program + " " + header.version);
    text += Field("platform", header.platform);
    text += Field("started", FormatLocalTime(header.started));
    text += Field("firmware file", header.firmwarePath);
    if (header.firmwareSize) {
        text += Field("firmware size", std::to_string(*header.firmwareSize) + " bytes");
        text += Field("firmware date", header.firmwareModified
                                           ? FormatLocalTime(*header.firmwareModified)
                                           : std::string("(not known)"));
        text += Field("firmware SHA-256", header.firmwareSha256);
    } else {
        text += Field("firmware size", "(the file cannot be read)");
    }
    text += Field("firmware version", header.firmwareVersion);
    text += Field("port", "COM" + std::to_string(header.comNumber) + " " +
                              (header.devicePath.empty() ? "(no device)" : header.devicePath));
    text += Field("adapter", header.adapter.empty() ? "(not known)" : header.adapter);
    text += '\n';
    text += kColumns;
    Write(text);
}

void SessionLog::Line(std::string_view what, std::string_view text) {
    Write(WireLogLine(TicksSince(start_, clock_.GetTickCount()), what, text));
}

void SessionLog::MessageBox(std::string_view text, std::string_view caption) {
    const std::uint32_t ms = TicksSince(start_, clock_.GetTickCount());
    std::string bracketed(1, '[');
    bracketed.append(caption).append(1, ']');
    std::string lines = WireLogLine(ms, "BOX", bracketed);
    for (;;) {
        const std::size_t end = text.find('\n');
        lines += WireLogLine(ms, "BOX", "| " + std::string(text.substr(0, end)));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    Write(lines);
}

void SessionLog::Finish(SessionResult result) {
    if (finished_) {
        return;
    }
    const std::uint32_t ms = TicksSince(start_, clock_.GetTickCount());
    std::array<char, 32> duration{};
    std::snprintf(duration.data(), duration.size(), "%u.%03u s", ms / 1000U, ms % 1000U);
    std::string closing(1, '\n');
    closing.append(Field("duration", duration.data()))
        .append(Field(kOutcomeKey.substr(0, kOutcomeKey.size() - 1), SessionResultName(result)));
    Write(closing);
    finished_ = true;
}

}  // namespace vorenta
