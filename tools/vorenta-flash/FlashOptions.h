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
    std::string port;  // "COMn", a device path, or empty for the window's preselection
    std::string dir;   // folder of the description and firmware files
    bool listPorts = false;
    bool listLogs = false;
    std::optional<unsigned> waitSeconds;
    std::string logFile;
    bool quiet = false;
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
