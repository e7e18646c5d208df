#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileAccess.h"

namespace vorenta {

// What one module's session did, for the production record.
struct ModuleRecord {
    std::chrono::system_clock::time_point start;
    std::chrono::system_clock::time_point end;
    std::uint64_t durationMs = 0;
    std::string port;     // "COM5"
    std::string device;   // the device behind it
    unsigned module = 0;  // count of sessions on this port, from 1
    std::string firmwareFile;
    std::optional<std::uint64_t> firmwareSize;  // none: the file could not be read
    std::string firmwareSha256;
    std::string version;     // the description file's version line
    std::string bootLoader;  // the identification the boot loader gave, once accepted
    unsigned pages = 0;      // pages of the page image, once the transfer reached them
    unsigned lastPage = 0;   // the last page begun, counted from 1 as the progress line does
    std::map<unsigned, unsigned> resends;  // page (from 1) -> times sent again
    std::string outcome;                   // the headline of how the session ended
    int exitStatus = 0;
};

// One line of JSON, without its line end. Text that is not UTF-8 keeps its bytes
// as \u00XX escapes, so every line parses.
std::string ModuleRecordJson(const ModuleRecord& record);
// "2026-12-07T14:02:31.042+01:00" from local time parts and the zone's offset.
std::string Iso8601(const std::tm& local, unsigned milliseconds, long offsetSeconds);
// The zone's offset from UTC in seconds, from the local time parts of a moment.
long OffsetFromUtc(const std::tm& local, std::time_t moment);
// The same for a moment, in the machine's local time zone.
std::string LocalIso8601(std::chrono::system_clock::time_point when);

// The report file, appended to by every session of every port. Each line goes
// out in one write and reaches the disk before the next, so a reader never
// sees half a line and a power cut loses at most the line under way.
class ReportFile {
  public:
    // Null, and `error` filled, when the path cannot be appended to: a symbolic
    // link, not a regular file, or not writable.
    static std::unique_ptr<ReportFile> Open(IFileSystem& files, const std::string& path,
                                            std::string& error);

    // False when the line did not get to the file whole. A record whose last
    // line was cut short gets a line end first.
    bool Append(std::string_view line);

  private:
    bool EndsWithWholeLine();

    explicit ReportFile(std::unique_ptr<IFile> file) : file_(std::move(file)) {}

    std::mutex mutex_;
    std::unique_ptr<IFile> file_;
};

}  // namespace vorenta
