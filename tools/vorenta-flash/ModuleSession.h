#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "ModuleReport.h"
#include "platform/FileAccess.h"
#include "platform/PeerWindows.h"
#include "platform/PortTable.h"
#include "platform/SettingsStore.h"
#include "platform/TickSource.h"
#include "update/SessionRecorder.h"

namespace vorenta {

// The platform services every session uses; with sessions on several ports at
// once, each is one that several threads may use.
struct StationServices {
    ITickSource& clock;
    IPortTable& ports;
    ISettingsStore& settings;
    IPeerWindows& peers;
    IFileSystem& files;
};

// What one session on one port is given.
struct ModuleSessionSetup {
    std::string programName;
    std::optional<int> comNumber;  // none: the window's own choice
    std::string programDir;        // with its trailing separator
    std::string tempDir;           // where the page image goes, with its trailing separator
    std::optional<unsigned> waitSeconds;
    bool quiet = false;
    // Where messages and progress go; none: standard error.
    std::function<void(std::string_view text)> output;
    bool terminal = false;     // standard error is a terminal: a progress bar instead of lines
    IFile* wireLog = nullptr;  // every byte on the line goes here too
    std::function<int()> interrupts;  // how many times the operator asked to stop
    unsigned module = 1;
    // Where and how the session's own log is kept; no folder: none is kept.
    SessionLogSetup sessionLog;
};

// One whole update on one port, exactly as a single run of the program does
// it: the window's start, preparation, poll, transfer, release and end. Every
// object of the session lives in here and is gone when it returns; only the
// record of what happened comes back, and whether every line of the wire log
// reached its file.
ModuleRecord RunModuleSession(const StationServices& services, const ModuleSessionSetup& setup,
                              bool& wireLogComplete);

// The first paragraph of a message, without its trailing blanks: the headline.
std::string Headline(std::string_view message);
// The identification in "Boot loader version  =  VR-VMM-KT76", empty when none.
std::string BootLoaderFromLine(std::string_view line);
// Size and SHA-256 of a file read through `files`; false when it cannot be read.
bool HashFile(IFileSystem& files, const std::string& path, std::uint64_t& size,
              std::string& sha256);

}  // namespace vorenta
