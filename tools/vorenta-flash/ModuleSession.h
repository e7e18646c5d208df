#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "Console.h"
#include "ModuleReport.h"
#include "platform/FileAccess.h"
#include "platform/PeerWindows.h"
#include "platform/PortTable.h"
#include "platform/SettingsStore.h"
#include "platform/TickSource.h"
#include "serial/WireLogDevice.h"
#include "update/SessionEvents.h"
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
    IConsole* console = nullptr;      // where messages and progress go
    IFile* wireLog = nullptr;         // every byte on the line goes here too
    std::function<int()> interrupts;  // how many times the operator asked to stop
    unsigned module = 1;
    // Where and how the session's own log is kept; no folder: none is kept.
    SessionLogSetup sessionLog;
    // Set once any session of the run said why it keeps no log: said once a
    // run, even when quiet. Null: each session says it.
    std::atomic<bool>* noLogSaid = nullptr;
};

// What the production record keeps of one session's events: the firmware as
// the session began, the boot loader's identification, the pages, the resends
// and the headline of the last message.
class ModuleRecordEvents : public ISessionEvents {
  public:
    // `wireLog`, when there is one, gets the reason a port could not be opened.
    ModuleRecordEvents(ModuleRecord& record, WireLogDevice* wireLog);

    // A session began (and the firmware file was read for it).
    bool Started() const { return started_; }

    void OnSessionStarted(const SessionStart& start) override;
    // The firmware actually sent replaces the one named as the session began.
    void OnTransferBegun(const SentFirmware& sent) override;
    void OnModuleAnswered(std::string_view identification) override {
        record_.bootLoader = identification;
    }
    void OnPageSending(std::uint64_t page, std::uint64_t pageCount) override {
        record_.lastPage = static_cast<unsigned>(page);
        record_.pages = static_cast<unsigned>(pageCount);
    }
    void OnPageResent(std::uint64_t page) override {
        ++record_.resends[static_cast<unsigned>(page)];
    }
    void OnOutcome(const SessionOutcome& outcome) override;

  private:
    ModuleRecord& record_;
    WireLogDevice* wireLog_;
    bool started_ = false;
};

// One whole update on one port, exactly as a single run of the program does
// it: the window's start, preparation, poll, transfer, release and end. Every
// object of the session lives in here and is gone when it returns; only the
// record of what happened comes back, and whether every line of the wire log
// reached its file.
ModuleRecord RunModuleSession(const StationServices& services, const ModuleSessionSetup& setup,
                              bool& wireLogComplete);

}  // namespace vorenta
