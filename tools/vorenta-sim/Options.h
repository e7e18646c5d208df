#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorenta::sim {

// Ways the simulated module can misbehave. Each is off by default and each
// combines with the others. Pages are numbered from 0 (page k starts at address k*256).
struct Faults {
    bool idWrong = false;
    bool idLowerCase = false;
    bool idTooLong = false;
    bool idTooShort = false;
    bool idCrLf = false;
    bool noId = false;
    bool noCr = false;
    bool noReady = false;
    std::optional<std::uint8_t> readyByte;                // sent instead of '!'
    std::map<std::uint32_t, unsigned> retryPages;         // page -> how many '@' first
    std::set<std::uint32_t> silentPages;                  // pages that get no reply
    std::map<std::uint32_t, std::uint8_t> badReplyPages;  // page -> reply byte
    std::set<std::uint32_t> doubleReplyPages;             // pages accepted with "!!"
    std::optional<std::uint32_t> closeAfterPage;          // line closes once this page's '!' is out
    unsigned noiseBytes = 0;                              // sent before the poll answer
    unsigned replyDelayMs = 0;                            // before every reply
    bool neverAnswer = false;
};

struct SimOptions {
    std::string devicePath;  // empty: create a pseudo-terminal
    std::string imagePath;
    std::string logPath;
    std::optional<double> timeoutSeconds;
    unsigned answerPoll = 3;
    bool skipPreparation = false;
    bool speedCheck = true;
    bool pace = false;
    std::uint32_t maxPages = 65536;
    Faults faults;
    // A production line: this many modules one after another on the line.
    unsigned modules = 1;
    // The module (from 1) the faults apply to; without it, to every module.
    std::optional<unsigned> faultModule;
};

struct ParsedCommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    SimOptions options;
    std::string error;  // for Action::Error, without the program name
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& args);

std::string_view HelpText();

}  // namespace vorenta::sim
