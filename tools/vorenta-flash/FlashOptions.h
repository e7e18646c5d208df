#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorenta {

// Exit status of the headless updater.
enum ExitStatus : int {
    kExitUpdated = 0,
    kExitFailureReported = 1,
    kExitUsage = 2,  // bad usage, or no usable firmware
    kExitPortUnavailable = 3,
    kExitGaveUp = 4,  // gave up waiting, or interrupted before the transfer
};

struct FlashOptions {
    // "COMn" or device paths, one session on each at once; none: the window's preselection.
    std::vector<std::string> ports;
    std::string dir;  // folder of the description and firmware files
    bool listPorts = false;
    bool listLogs = false;
    std::optional<unsigned> waitSeconds;
    std::string logFile;
    bool quiet = false;
    bool repeat = false;            // a new session after each module, until stopped
    std::optional<unsigned> count;  // stop repeating after this many modules
    std::string reportFile;         // one JSON line per module appended here
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    FlashOptions options;
    std::string error;  // not empty: bad usage, said in this text
};

ParsedOptions ParseFlashOptions(const std::vector<std::string>& args);
// The COM number of "COMn" (any case, 1 to 100), or nothing.
std::optional<int> ComNumberOf(const std::string& name);
std::string FlashUsage();

}  // namespace vorenta
