#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ExtraPortTable.h"
#include "FlashOptions.h"
#include "ModuleReport.h"
#include "platform/NativeFileSystem.h"
#include "platform/PortTable.h"
#include "update/SessionRecorder.h"

namespace vorenta {

// The ports named on the command line with their COM numbers. Each device
// path gets a number of its own, none shared with another named device.
class StationPorts {
  public:
    // Whether two device paths reach one device.
    using SameDeviceTest = std::function<bool(const std::string&, const std::string&)>;

    StationPorts(IPortTable& installed, const std::vector<std::string>& names,
                 const SameDeviceTest& sameDevice = NativeFileSystem::SameFile);

    // The installed ports and the named devices.
    IPortTable& Table() { return extras_.empty() ? installed_ : *extras_.back(); }
    // One per name, in order; empty when no port was named.
    const std::vector<int>& ComNumbers() const { return comNumbers_; }
    // Not empty: a name cannot be used, said in this text.
    const std::string& Error() const { return error_; }
    // The exit status of that: a port given twice is a usage error.
    int ErrorStatus() const { return errorStatus_; }

  private:
    IPortTable& installed_;
    std::vector<std::unique_ptr<ExtraPortTable>> extras_;
    std::vector<int> comNumbers_;
    std::string error_;
    int errorStatus_ = kExitUpdated;
};

// How the sessions on one port went.
struct PortTally {
    std::string port;  // "COM5", once known
    std::string device;
    unsigned updated = 0;
    unsigned failed = 0;
    std::vector<std::pair<unsigned, std::string>> failures;  // module, headline
    std::string lastOutcome;
    std::uint64_t lastDurationMs = 0;
    int lastStatus = 0;
    // Why the port stopped before its modules were done: no module came, the
    // operator stopped, or the firmware cannot be used.
    std::string stoppedBecause;
    // Why the port was lost (it could not be opened, or went away before a
    // module answered); empty while it was not. Never counted as a module.
    std::string lostBecause;
    int status = 0;  // the port's exit status
};

// Whether a session met a module: one that ended before any answered (the
// port or the firmware could not be used, or nothing came) is not a module.
bool MetAModule(const ModuleRecord& record);
// Counts one finished session whose module answered in the tally.
void CountModule(PortTally& tally, const ModuleRecord& record);
// The line shown between modules.
std::string TallyText(const PortTally& tally);
// The port's line of the final summary.
std::string SummaryText(const PortTally& tally, bool repeat);
// The port's exit status: 1 when a module failed; else 2 or 3 when the
// firmware or the port could not be used (the port was lost); else a single
// run keeps its session's, and a repeated one is 0 only when every module it
// met was updated (and, with a count, all came), 4 otherwise.
int PortStatus(const PortTally& tally, bool repeat, std::optional<unsigned> count,
               int lastSessionStatus);
// 0 only when every port's is; 1 when any port's is (a module that failed
// may hold part of the new firmware); else the first port's that is not 0.
int CombinedStatus(const std::vector<PortTally>& tallies);
// "wire.log" for COM5 -> "wire-COM5.log": one file per port when there are several.
std::string PerPortPath(const std::string& path, const std::string& port);
// True when the two paths name one file: the same file through any link or
// spelling of its path, or, where neither exists yet, the same path.
bool NameOneFile(const std::string& first, const std::string& second);
// The wire log of one port: `path` itself for a single port, else its
// per-port name; a path naming a folder (ending in a separator) gets the file
// "wire.log" in it.
std::string WireLogPath(const std::string& path, const std::string& port, bool several);
// "1:05" for 65000 ms.
std::string MinutesAndSeconds(std::uint64_t ms);

// Runs what the options ask for: one session, or one after another, on one
// port or on several at once; each session leaves a log as `sessionLog` says.
// Returns the exit status.
int RunStations(const FlashOptions& options, StationPorts& ports, const std::string& programName,
                const SessionLogSetup& sessionLog, const std::function<int()>& interrupts);

}  // namespace vorenta
