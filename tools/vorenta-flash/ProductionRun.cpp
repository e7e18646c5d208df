#include "ProductionRun.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "ModuleSession.h"
#include "SharedServices.h"
#include "StationConsole.h"
#include "app/CommandLine.h"
#include "common/PrintableText.h"
#include "common/ProductTexts.h"
#include "platform/NativePlatform.h"

namespace vorenta {

namespace {

constexpr std::size_t kFailuresNamed = 5;
constexpr std::string_view kSummaryTitle = "Summary:";

// Everything one port's thread works with.
struct PortJob {
    std::optional<int> comNumber;
    std::string name;
    IConsole* console = nullptr;
    IFile* wireLog = nullptr;
    std::string wireLogPath;
};

struct RunShared {
    const FlashOptions& options;
    const StationServices& services;
    const std::string& programName;
    const std::string& programDir;
    const SessionLogSetup& sessionLog;
    const std::function<int()>& interrupts;
    ReportFile* report;
    std::string reportPath;
    std::atomic<bool>* noLogSaid;
};

void Print(const PortJob& job, const std::string& line) {
    job.console->Write(PrintableText(line) + "\n");
}

PortTally RunPort(const RunShared& run, const PortJob& job) {
    const FlashOptions& options = run.options;
    PortTally tally;
    tally.port = job.name;
    int lastStatus = kExitUpdated;
    bool wireLogComplete = true;
    for (unsigned module = 1;; ++module) {
        if ((module > 1 && !options.repeat) || (options.count && module > *options.count)) {
            break;
        }
        if (module > 1 && run.interrupts() > 0) {
            tally.stoppedBecause = "stopped by the operator";
            break;
        }
        ModuleSessionSetup setup;
        setup.programName = run.programName;
        setup.comNumber = job.comNumber;
        setup.programDir = run.programDir;
        setup.waitSeconds = options.waitSeconds;
        setup.quiet = options.quiet;
        setup.console = job.console;
        setup.wireLog = job.wireLog;
        setup.interrupts = run.interrupts;
        setup.module = module;
        setup.sessionLog = run.sessionLog;
        setup.noLogSaid = run.noLogSaid;
        // Each session makes its own private folder for its page image in here.
        setup.tempDir = TemporaryFolder();
        if (job.wireLog != nullptr && options.repeat) {
            const std::string separator = "--- module " + std::to_string(module) + "\n";
            job.wireLog->Write(reinterpret_cast<const std::uint8_t*>(separator.data()),
                               separator.size());
        }

        bool complete = true;
        const ModuleRecord record = RunModuleSession(run.services, setup, complete);
        wireLogComplete = wireLogComplete && complete;
        lastStatus = record.exitStatus;
        if (tally.port.empty()) {
            tally.port = record.port;
        }
        tally.device = record.device;
        if (!MetAModule(record)) {
            // No module answered: the operator stopped, --wait ran out, or the
            // port or the firmware cannot be used. Nothing to count or report.
            if (record.exitStatus == kExitPortUnavailable) {
                tally.lostBecause = record.outcome;
            } else {
                tally.stoppedBecause = record.outcome;
            }
            break;
        }
        CountModule(tally, record);
        if (run.report != nullptr && !run.report->Append(ModuleRecordJson(record))) {
            Print(job, "The report " + run.reportPath +
                           " could not be written; no further module is started.");
            tally.stoppedBecause = "the report could not be written";
            lastStatus = kExitFailureReported;
            break;
        }
        const bool last = options.count && module >= *options.count;
        if (!options.repeat || last || run.interrupts() > 0) {
            continue;  // the loop's own checks end it and say why
        }
        if (!options.quiet) {
            Print(job, TallyText(tally));
        }
    }
    if (!wireLogComplete) {
        Print(job, "The log file " + job.wireLogPath + " could not be written completely.");
    }
    tally.status = PortStatus(tally, options.repeat, options.count, lastStatus);
    return tally;
}

std::vector<std::string> PortNames(const std::vector<int>& comNumbers) {
    std::vector<std::string> names;
    names.reserve(comNumbers.size());
    for (const int number : comNumbers) {
        names.push_back("COM" + std::to_string(number));
    }
    return names;
}

}  // namespace

StationPorts::StationPorts(IPortTable& installed, const std::vector<std::string>& names,
                           const SameDeviceTest& sameDevice)
    : installed_(installed) {
    std::vector<std::string> devices;  // the device behind each name taken
    const auto givenTwice = [this, &names](const std::string& name, std::size_t earlier) {
        error_ =
            "--port " + name + " is given twice: it is the same port as --port " + names[earlier];
        errorStatus_ = kExitUsage;
    };
    for (const std::string& name : names) {
        int number = -1;
        std::string device;
        if (!name.empty() && name[0] == '/') {
            device = name;
        } else if (const auto com = ComNumberOf(name)) {
            number = *com;
            device = Table().DevicePathFor(number);
        } else {
            error_ = "'" + name + "' is not a port";
            errorStatus_ = kExitPortUnavailable;
            return;
        }
        // Devices, not names: a link, or COMn beside its own path, is the same port.
        for (std::size_t i = 0; i < devices.size(); ++i) {
            if ((number != -1 && number == comNumbers_[i]) ||
                (!device.empty() && !devices[i].empty() &&
                 (device == devices[i] || sameDevice(device, devices[i])))) {
                givenTwice(name, i);
                return;
            }
        }
        if (number == -1) {
            extras_.push_back(std::make_unique<ExtraPortTable>(Table(), name));
            number = extras_.back()->ComNumber();
            if (number == -1) {
                error_ = "every COM number is taken; cannot use " + name;
                errorStatus_ = kExitPortUnavailable;
                return;
            }
            for (std::size_t i = 0; i < comNumbers_.size(); ++i) {
                if (comNumbers_[i] == number) {
                    givenTwice(name, i);
                    return;
                }
            }
        }
        comNumbers_.push_back(number);
        devices.push_back(device);
    }
}

bool MetAModule(const ModuleRecord& record) {
    return record.exitStatus == kExitUpdated || record.exitStatus == kExitFailureReported;
}

void CountModule(PortTally& tally, const ModuleRecord& record) {
    if (record.exitStatus == kExitUpdated) {
        ++tally.updated;
    } else {
        ++tally.failed;
        tally.failures.emplace_back(record.module, record.outcome);
    }
    tally.lastOutcome = record.outcome;
    tally.lastDurationMs = record.durationMs;
    tally.lastStatus = record.exitStatus;
}

std::string MinutesAndSeconds(std::uint64_t ms) {
    const std::uint64_t seconds = (ms + 500) / 1000;
    const std::uint64_t rest = seconds % 60;
    return std::to_string(seconds / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

std::string TallyText(const PortTally& tally) {
    return std::to_string(tally.updated) + " updated, " + std::to_string(tally.failed) +
           " failed; last module " + (tally.lastStatus == kExitUpdated ? "updated" : "failed") +
           " in " + MinutesAndSeconds(tally.lastDurationMs) +
           ". Waiting for the next module (Ctrl-C ends).";
}

std::string SummaryText(const PortTally& tally, bool repeat) {
    // Summary lines have no port in front: a name must not forge one.
    std::string text = tally.port.empty() ? std::string("(no port)") : PrintableLine(tally.port);
    if (!tally.device.empty()) {
        text += " (" + PrintableLine(tally.device) + ")";
    }
    text += ": ";
    if (!repeat) {
        if (tally.updated == 1) {
            return text + "updated";
        }
        if (tally.failed == 1) {
            return text + "failed: " + tally.lastOutcome;
        }
        if (!tally.lostBecause.empty()) {
            return text + "lost: " + tally.lostBecause;
        }
        return text + "not updated: " + tally.stoppedBecause;
    }
    text += std::to_string(tally.updated) + " updated, " + std::to_string(tally.failed) + " failed";
    for (std::size_t i = 0; i < tally.failures.size() && i < kFailuresNamed; ++i) {
        text +=
            "; module " + std::to_string(tally.failures[i].first) + ": " + tally.failures[i].second;
    }
    if (tally.failures.size() > kFailuresNamed) {
        text += "; ...";
    }
    if (!tally.lostBecause.empty()) {
        text += "; port lost: " + tally.lostBecause;
    } else if (!tally.stoppedBecause.empty()) {
        text += "; ended: " + tally.stoppedBecause;
    }
    return text;
}

int PortStatus(const PortTally& tally, bool repeat, std::optional<unsigned> count,
               int lastSessionStatus) {
    // A failed module outweighs a port lost after it: the module may hold part
    // of the new firmware.
    if (tally.failed > 0) {
        return kExitFailureReported;
    }
    if (!repeat || lastSessionStatus == kExitUsage || lastSessionStatus == kExitPortUnavailable) {
        return lastSessionStatus;
    }
    if (lastSessionStatus == kExitFailureReported) {
        return kExitFailureReported;
    }
    if (tally.updated == 0 || (count && tally.updated < *count)) {
        return kExitGaveUp;
    }
    return kExitUpdated;
}

int CombinedStatus(const std::vector<PortTally>& tallies) {
    for (const PortTally& tally : tallies) {
        if (tally.status == kExitFailureReported) {
            return kExitFailureReported;
        }
    }
    for (const PortTally& tally : tallies) {
        if (tally.status != kExitUpdated) {
            return tally.status;
        }
    }
    return kExitUpdated;
}

std::string PerPortPath(const std::string& path, const std::string& port) {
    const std::size_t slash = path.find_last_of(std::string("/") + kPathSeparator);
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) {
        dot = path.size();
    }
    return path.substr(0, dot) + "-" + port + path.substr(dot);
}

bool NameOneFile(const std::string& first, const std::string& second) {
    namespace fs = std::filesystem;
    if (NativeFileSystem::SameFile(first, second)) {
        return true;
    }
    // Not both there yet: the same path, however spelled.
    std::error_code error;
    const fs::path firstPath = fs::weakly_canonical(first, error);
    if (error) {
        return first == second;
    }
    const fs::path secondPath = fs::weakly_canonical(second, error);
    return error ? first == second : firstPath == secondPath;
}

std::string WireLogPath(const std::string& path, const std::string& port, bool several) {
    constexpr std::string_view kDefaultName = "wire.log";
    std::string file = path;
    if (!file.empty() && (file.back() == '/' || file.back() == kPathSeparator)) {
        file += kDefaultName;
    }
    return several ? PerPortPath(file, port) : file;
}

int RunStations(const FlashOptions& options, StationPorts& ports, const std::string& programName,
                const SessionLogSetup& sessionLog, const std::function<int()>& interrupts) {
    const std::vector<int>& comNumbers = ports.ComNumbers();
    const bool several = comNumbers.size() > 1;

    // The log is made new, which would empty the report: checked before either is opened.
    if (!options.reportFile.empty() && !options.logFile.empty()) {
        std::vector<std::string> logs;
        for (const std::string& port : PortNames(comNumbers)) {
            logs.push_back(WireLogPath(options.logFile, port, several));
        }
        if (logs.empty()) {
            logs.push_back(WireLogPath(options.logFile, "", false));
        }
        for (const std::string& log : logs) {
            if (NameOneFile(options.reportFile, log)) {
                std::fprintf(stderr,
                             "%s: --log and --report name the same file: %s\nTry '%s --help'.\n",
                             programName.c_str(), PrintableText(log).c_str(), programName.c_str());
                return kExitUsage;
            }
        }
    }

    NativeFileSystem nativeFiles;
    std::unique_ptr<ReportFile> report;
    if (!options.reportFile.empty()) {
        std::string error;
        report = ReportFile::Open(nativeFiles, options.reportFile, error);
        if (!report) {
            std::fprintf(stderr, "%s: cannot append to the report %s: %s\n", programName.c_str(),
                         PrintableText(options.reportFile).c_str(), error.c_str());
            return kExitUsage;
        }
    }

    std::vector<PortJob> jobs;
    std::vector<std::unique_ptr<IFile>> logFiles;
    for (std::size_t i = 0; i < std::max<std::size_t>(comNumbers.size(), 1); ++i) {
        PortJob job;
        if (!comNumbers.empty()) {
            job.comNumber = comNumbers[i];
            job.name = "COM" + std::to_string(comNumbers[i]);
        }
        if (!options.logFile.empty()) {
            job.wireLogPath = WireLogPath(options.logFile, job.name, several);
            // A regular file of this user only: never through a symbolic link,
            // never a FIFO or a device, never a file with a second name.
            logFiles.push_back(
                nativeFiles.Open(job.wireLogPath, OpenMode::CreateTruncateReadWrite));
            if (!logFiles.back()) {
                std::fprintf(stderr,
                             "%s: cannot write the log file %s (it must be a regular file of "
                             "yours, not a symbolic link)\n",
                             programName.c_str(), PrintableText(job.wireLogPath).c_str());
                return kExitUsage;
            }
            job.wireLog = logFiles.back().get();
        }
        jobs.push_back(std::move(job));
    }

    NativeTickSource clock;
    LockedPortTable portTable(ports.Table());
    NativeSettingsStore nativeSettings(texts::kCompanyName, programName);
    LockedSettingsStore settings(nativeSettings);
    const auto desktopPeers = MakeDesktopPeerWindows();
    LockedPeerWindows peers(*desktopPeers);
    // Sessions read the firmware side by side: readers share a file.
    const StationServices services{clock, portTable, settings, peers, nativeFiles};

    std::string programDir =
        options.dir.empty()
            ? ProgramDirFromCommandLine(CommandLineForExecutable(ExecutablePath()), kPathSeparator)
            : options.dir;
    if (!programDir.empty() && programDir.back() != kPathSeparator) {
        programDir += kPathSeparator;
    }
    std::atomic<bool> noLogSaid{false};
    const RunShared run{options,    services,     programName,        programDir, sessionLog,
                        interrupts, report.get(), options.reportFile, &noLogSaid};

    std::vector<PortTally> tallies(jobs.size());
    if (!several) {
        StreamConsole console(stderr, StandardErrorIsTerminal());
        jobs[0].console = &console;
        tallies[0] = RunPort(run, jobs[0]);
        if (options.repeat) {
            Print(jobs[0], std::string(kSummaryTitle));
            Print(jobs[0], SummaryText(tallies[0], true));
        }
        return tallies[0].status;
    }

    // Listed once before the threads start: warnings about the port map come
    // out here, whole, and not in the middle of a port's line.
    std::vector<InstalledPort> installed;
    portTable.ListPorts(installed);

    const bool terminal = StandardErrorIsTerminal();
    StationConsole console(stderr, terminal, PortNames(comNumbers), TerminalWidth(stderr, 80));
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        jobs[i].console = &console.Port(i);
    }
    {
        // One thread per port; each session inside keeps to its own thread.
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            threads.emplace_back(
                [&run, &jobs, &tallies, i] { tallies[i] = RunPort(run, jobs[i]); });
        }
    }
    console.Finish();
    console.Line(std::string(kSummaryTitle));
    for (const PortTally& tally : tallies) {
        console.Line(SummaryText(tally, options.repeat));
    }
    return CombinedStatus(tallies);
}

}  // namespace vorenta
