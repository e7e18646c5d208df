#include "FlashOptions.h"

#include <charconv>

#include "serial/StaticPortTable.h"

namespace vorenta {

namespace {

constexpr int kFirstWindowPort = 1;
constexpr int kLastWindowPort = 100;
constexpr unsigned kMostModules = 1000000;
// A day: longer than any operator waits for a module, far below what the
// millisecond arithmetic holds.
constexpr unsigned kMaxWaitSeconds = 86400;

std::optional<unsigned> ParseUnsigned(const std::string& text) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// A listing runs instead of an update, and one listing at a time: options of
// an update beside it, or the other listing, would be silently ignored.
std::string ListingConflict(const FlashOptions& o) {
    if (o.listPorts && o.listLogs) {
        return "--list-ports and --list-logs cannot be combined; give one";
    }
    if (!o.listPorts && !o.listLogs) {
        return {};
    }
    const std::string listing = o.listPorts ? "--list-ports" : "--list-logs";
    const std::pair<bool, const char*> updateOptions[] = {
        {!o.ports.empty() && o.listLogs, "--port"},   {!o.dir.empty(), "--dir"},
        {o.waitSeconds.has_value(), "--wait"},        {!o.logFile.empty(), "--log"},
        {o.repeat, o.count ? "--count" : "--repeat"}, {!o.reportFile.empty(), "--report"},
    };
    for (const auto& [given, name] : updateOptions) {
        if (given) {
            return listing + " cannot be combined with " + name + ", which belongs to an update";
        }
    }
    return {};
}

}  // namespace

std::optional<int> ComNumberOf(const std::string& name) {
    const auto number = ParseComName(name);
    if (!number || *number < kFirstWindowPort || *number > kLastWindowPort) {
        return std::nullopt;
    }
    return number;
}

ParsedOptions ParseFlashOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    FlashOptions& o = parsed.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        std::string value;
        bool hasValue = false;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue) {
                return true;
            }
            if (i + 1 >= args.size()) {
                parsed.error = "option " + arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--list-ports") {
            o.listPorts = true;
        } else if (arg == "--list-logs") {
            o.listLogs = true;
        } else if (arg == "--quiet" || arg == "-q") {
            o.quiet = true;
        } else if (arg == "--port") {
            if (!takeValue()) {
                return parsed;
            }
            if (value.empty() || (value[0] != '/' && !ComNumberOf(value))) {
                parsed.error = "--port takes COM1 to COM100 or a device path, not '" + value + "'";
                return parsed;
            }
            for (const std::string& given : o.ports) {
                if (given == value ||
                    (ComNumberOf(given) && ComNumberOf(given) == ComNumberOf(value))) {
                    parsed.error = "--port " + value + " is given twice";
                    return parsed;
                }
            }
            o.ports.push_back(value);
        } else if (arg == "--dir") {
            if (!takeValue()) {
                return parsed;
            }
            if (value.empty()) {
                parsed.error = "--dir needs a folder";
                return parsed;
            }
            o.dir = value;
        } else if (arg == "--wait") {
            if (!takeValue()) {
                return parsed;
            }
            const auto seconds = ParseUnsigned(value);
            if (!seconds || *seconds == 0 || *seconds > kMaxWaitSeconds) {
                parsed.error = "--wait takes a whole number of seconds from 1 to " +
                               std::to_string(kMaxWaitSeconds) + ", not '" + value + "'";
                return parsed;
            }
            o.waitSeconds = *seconds;
        } else if (arg == "--repeat") {
            o.repeat = true;
        } else if (arg == "--count") {
            if (!takeValue()) {
                return parsed;
            }
            const auto modules = ParseUnsigned(value);
            if (!modules || *modules == 0 || *modules > kMostModules) {
                parsed.error = "--count takes a number of modules from 1 to " +
                               std::to_string(kMostModules) + ", not '" + value + "'";
                return parsed;
            }
            o.count = *modules;
            o.repeat = true;
        } else if (arg == "--report") {
            if (!takeValue()) {
                return parsed;
            }
            if (value.empty()) {
                parsed.error = "--report needs a file name";
                return parsed;
            }
            o.reportFile = value;
        } else if (arg == "--log") {
            if (!takeValue()) {
                return parsed;
            }
            if (value.empty()) {
                parsed.error = "--log needs a file name";
                return parsed;
            }
            o.logFile = value;
        } else {
            parsed.error = "unknown argument '" + args[i] + "'";
            return parsed;
        }
    }
    parsed.error = ListingConflict(o);
    return parsed;
}

std::string FlashUsage() {
    return "Usage: vorenta-flash [options]\n"
           "Updates the firmware of a Vorenta Mobile Module through a base station, without a\n"
           "window. Put the module into its firmware update mode first.\n"
           "\n"
           "  --port COMn|DEVICE  serial port of the base station (default: the saved port, else\n"
           "                      the lowest installed one); give it again for more base\n"
           "                      stations, updated at once, one session each\n"
           "  --dir FOLDER        folder of the firmware description file and the firmware\n"
           "                      (default: the program's folder)\n"
           "  --list-ports        list the installed serial ports and their devices\n"
           "  --list-logs         list the newest session logs with their outcomes\n"
           "  --wait SECONDS      give up when the module has not answered by then, 1 to\n"
           "                      86400 (default: wait until interrupted)\n"
           "  --log FILE          write every byte sent and received, with time stamps\n"
           "                      (with several ports, FILE with -COMn before its extension;\n"
           "                      every session also leaves a log in the session log folder)\n"
           "  --quiet             print only messages and errors\n"
           "  --repeat            after each module start again on the same port and wait for\n"
           "                      the next one, until Ctrl-C\n"
           "  --count N           stop repeating after N modules (implies --repeat)\n"
           "  --report FILE       append one JSON line per module: times, port, firmware and\n"
           "                      its SHA-256, boot loader, pages, resends, outcome\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 updated; 1 the update failed (reported); 2 bad usage or no usable\n"
           "firmware; 3 the port could not be opened, or went away while the module was\n"
           "polled; 4 gave up waiting for the module or interrupted before the transfer (the\n"
           "session was cancelled). With several ports or --repeat, 0 only when every port\n"
           "updated every module it met, 1 when a module failed on any port, else the status\n"
           "of the first port that did not end with 0 (a lost port is no module).\n"
           "Ctrl-C while waiting cancels the session. During the transfer the first Ctrl-C only\n"
           "warns; a second one stops the transfer and reports the failure. SIGTERM and SIGHUP\n"
           "act at once like the second Ctrl-C.\n";
}

}  // namespace vorenta
