// The production station's own parts: options, the record and its file, the
// shared console, the ports and files sessions share, and the tallies.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "FlashOptions.h"
#include "ModuleReport.h"
#include "ModuleSession.h"
#include "ProductionRun.h"
#include "SharedServices.h"
#include "StationConsole.h"
#include "UpdateRig.h"
#include "firmware/Sha256.h"
#include "platform/NativePlatform.h"
#include "serial/StaticPortTable.h"
#include "tests/support/TempFolder.h"

namespace vorenta::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ProductionOptions, PortsRepeatCountAndReport) {
    const auto parsed = ParseFlashOptions(
        {"--port", "COM5", "--port=/dev/pts/7", "--count", "50", "--report", "run.jsonl"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.ports, (std::vector<std::string>{"COM5", "/dev/pts/7"}));
    EXPECT_TRUE(parsed.options.repeat);  // a count means repeating
    EXPECT_EQ(parsed.options.count, 50U);
    EXPECT_EQ(parsed.options.reportFile, "run.jsonl");
    EXPECT_TRUE(ParseFlashOptions({"--repeat"}).options.repeat);
    EXPECT_FALSE(ParseFlashOptions({}).options.repeat);

    // A listing runs alone: the other listing or an update's options beside it are refused.
    for (const auto& [args, error] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--list-ports", "--list-logs"},
              "--list-ports and --list-logs cannot be combined; give one"},
             {{"--list-logs", "--list-ports"},
              "--list-ports and --list-logs cannot be combined; give one"},
             {{"--list-logs", "--port", "COM5"},
              "--list-logs cannot be combined with --port, which belongs to an update"},
             {{"--list-ports", "--count", "3"},
              "--list-ports cannot be combined with --count, which belongs to an update"},
             {{"--report", "r.jsonl", "--list-ports"},
              "--list-ports cannot be combined with --report, which belongs to an update"},
             {{"--list-logs", "--log", "w.log"},
              "--list-logs cannot be combined with --log, which belongs to an update"}}) {
        EXPECT_EQ(ParseFlashOptions(args).error, error);
    }
    // The named ports are what --list-ports shows beside the installed ones.
    EXPECT_EQ(ParseFlashOptions({"--list-ports", "--port", "/dev/pts/7", "--quiet"}).error, "");

    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--port", "COM5", "--port", "com5"},
                                               {"--port", "/dev/x", "--port", "/dev/x"},
                                               {"--count", "0"},
                                               {"--count", "many"},
                                               {"--count"},
                                               {"--report="}}) {
        EXPECT_NE(ParseFlashOptions(args).error, "") << args.back();
    }
}

TEST(ModuleReport, TimesCarryTheirZone) {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = 14;
    local.tm_min = 2;
    local.tm_sec = 31;
    EXPECT_EQ(Iso8601(local, 42, 3600), "2026-12-07T14:02:31.042+01:00");
    EXPECT_EQ(Iso8601(local, 999, -(3 * 3600 + 30 * 60)), "2026-12-07T14:02:31.999-03:30");
    EXPECT_EQ(Iso8601(local, 0, 0), "2026-12-07T14:02:31.000+00:00");
    // 2026-12-07T14:02:31 read as UTC is 1796652151 s after 1970.
    EXPECT_EQ(OffsetFromUtc(local, 1796652151), 0);
    EXPECT_EQ(OffsetFromUtc(local, 1796652151 - 3600), 3600);
    EXPECT_EQ(OffsetFromUtc(local, 1796652151 + 5 * 3600 + 1800), -(5 * 3600 + 1800));
    // The machine's own zone, whatever it is, in the same shape.
    const std::string now = LocalIso8601(std::chrono::system_clock::now());
    ASSERT_EQ(now.size(), 29U) << now;
    EXPECT_EQ(now[10], 'T');
    EXPECT_TRUE(now[23] == '+' || now[23] == '-') << now;
}

TEST(ModuleReport, ARecordIsOneLineWithEveryField) {
    ModuleRecord record;
    record.port = "COM5";
    record.device = "/dev/ttyUSB0";
    record.module = 3;
    record.firmwareFile = "fw \"new\".bin";
    record.firmwareSize = 1000;
    record.firmwareSha256 = std::string(64, 'a');
    record.version = "9.9";
    record.bootLoader = "VR-VMM-KT76";
    record.pages = 4;
    record.lastPage = 4;
    record.resends = {{2, 2}, {4, 1}};
    record.outcome = "Done.";
    record.exitStatus = 0;
    record.durationMs = 4567;
    const std::string json = ModuleRecordJson(record);
    EXPECT_EQ(json.find('\n'), std::string::npos);
    for (const std::string_view field :
         {R"("port":"COM5")", R"("device":"/dev/ttyUSB0")", R"("module":3)",
          R"("firmwareFile":"fw \"new\".bin")", R"("firmwareSize":1000)",
          R"("bootLoader":"VR-VMM-KT76")", R"("pages":4)", R"("resends":{"2":2,"4":1})",
          R"("outcome":"Done.")", R"("exitStatus":0)", R"("durationMs":4567)"}) {
        EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
    }
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.back(), '}');

    // What is not known is null, not an empty text that looks like a value.
    ModuleRecord unknown;
    const std::string bare = ModuleRecordJson(unknown);
    EXPECT_NE(bare.find(R"("firmwareSize":null)"), std::string::npos);
    EXPECT_NE(bare.find(R"("firmwareSha256":null)"), std::string::npos);
    EXPECT_NE(bare.find(R"("bootLoader":null)"), std::string::npos);
    EXPECT_NE(bare.find(R"("resends":{})"), std::string::npos);
}

TEST(ReportFile, AppendsWholeLinesAndKeepsWhatWasThere) {
    const TempFolder dir("vorenta-production-");
    const fs::path path = dir.path() / "report.jsonl";
    std::ofstream(path, std::ios::binary) << "earlier\n";
    NativeFileSystem files;
    std::string error;
    auto report = ReportFile::Open(files, path.string(), error);
    ASSERT_TRUE(report) << error;
    EXPECT_TRUE(report->Append("{\"a\":1}"));
    EXPECT_EQ(ReadAll(path), "earlier\n{\"a\":1}\n");

    // Several ports writing at once: every line arrives whole.
    constexpr int kThreads = 8;
    constexpr int kLines = 200;
    std::vector<std::jthread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&report, t] {
            for (int i = 0; i < kLines; ++i) {
                report->Append("port " + std::to_string(t) + " line " + std::to_string(i) + " " +
                               std::string(300, static_cast<char>('a' + t)));
            }
        });
    }
    writers.clear();
    const auto lines = Lines(ReadAll(path));
    ASSERT_EQ(lines.size(), 2U + kThreads * kLines);
    std::set<std::string> seen;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const auto lastSpace = line.rfind(' ');
        ASSERT_NE(lastSpace, std::string::npos);
        const std::string tail = line.substr(lastSpace + 1);
        EXPECT_EQ(tail.size(), 300U);
        EXPECT_EQ(tail.find_first_not_of(tail[0]), std::string::npos) << line;
        seen.insert(line.substr(0, lastSpace));
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kThreads * kLines));

    // A report that is not there yet is made, readable by others as records are.
    const fs::path fresh = dir.path() / "fresh.jsonl";
    auto made = ReportFile::Open(files, fresh.string(), error);
    ASSERT_TRUE(made) << error;
    EXPECT_TRUE(made->Append("first"));
    EXPECT_EQ(ReadAll(fresh), "first\n");
#ifndef _WIN32
    struct stat info {};
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777U, 0644U);
#endif
}

TEST(RecordFiles, OneFileIsKnownWhateverItsNameOrLink) {
    const TempFolder dir("vorenta-production-");
    const fs::path report = dir.path() / "line.jsonl";
    std::ofstream(report, std::ios::binary) << "earlier\n";
    const fs::path other = dir.path() / "wire.log";
    std::ofstream(other, std::ios::binary) << "other\n";
    EXPECT_TRUE(NameOneFile(report.string(), report.string()));
    EXPECT_TRUE(NameOneFile(report.string(), (dir.path() / "." / "line.jsonl").string()));
    EXPECT_FALSE(NameOneFile(report.string(), other.string()));
    // Neither made yet: one name is one file, two names are two.
    EXPECT_TRUE(NameOneFile((dir.path() / "new.jsonl").string(),
                            (dir.path() / "x" / ".." / "new.jsonl").string()));
    EXPECT_FALSE(
        NameOneFile((dir.path() / "new.jsonl").string(), (dir.path() / "new.log").string()));
    EXPECT_FALSE(NameOneFile(report.string(), (dir.path() / "new.log").string()));
#ifndef _WIN32
    fs::create_hard_link(report, dir.path() / "second-name.log");
    fs::create_symlink(report, dir.path() / "link.log");
    EXPECT_TRUE(NameOneFile(report.string(), (dir.path() / "second-name.log").string()));
    EXPECT_TRUE(NameOneFile(report.string(), (dir.path() / "link.log").string()));
#endif
    EXPECT_EQ(ReadAll(report), "earlier\n");
}

TEST(ReportFile, ATornLastLineIsNeverGluedToTheNextRecord) {
    const TempFolder dir("vorenta-production-");
    const fs::path path = dir.path() / "report.jsonl";
    // A writer killed (or a disk full) in the middle of its line.
    std::ofstream(path, std::ios::binary) << "{\"whole\":1}\n{\"cut\":";
    NativeFileSystem files;
    std::string error;
    auto report = ReportFile::Open(files, path.string(), error);
    ASSERT_TRUE(report) << error;
    ASSERT_TRUE(report->Append(R"({"next":2})"));
    // Another station's writer torn while this one runs.
    std::ofstream(path, std::ios::binary | std::ios::app) << "{\"other\":";
    ASSERT_TRUE(report->Append(R"({"next":3})"));
    ASSERT_TRUE(report->Append(R"({"next":4})"));
    EXPECT_EQ(ReadAll(path),
              "{\"whole\":1}\n{\"cut\":\n{\"next\":2}\n{\"other\":\n{\"next\":3}\n{\"next\":4}\n");

    // An empty record gets no empty first line.
    const fs::path fresh = dir.path() / "fresh.jsonl";
    auto first = ReportFile::Open(files, fresh.string(), error);
    ASSERT_TRUE(first) << error;
    ASSERT_TRUE(first->Append(R"({"n":1})"));
    EXPECT_EQ(ReadAll(fresh), "{\"n\":1}\n");
}

#ifndef _WIN32  // links, FIFOs
TEST(ReportFile, NeverFollowsALinkNorOpensWhatIsNoFile) {
    const TempFolder dir("vorenta-production-");
    const fs::path target = dir.path() / "precious";
    std::ofstream(target) << "keep";
    fs::create_symlink(target, dir.path() / "link.jsonl");
    NativeFileSystem files;
    std::string error;
    EXPECT_FALSE(ReportFile::Open(files, (dir.path() / "link.jsonl").string(), error));
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
    EXPECT_EQ(ReadAll(target), "keep");

    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(
        ReportFile::Open(files, (dir.path() / "fifo").string(), error));  // and does not hang
    EXPECT_FALSE(ReportFile::Open(files, dir.path().string(), error));
    EXPECT_FALSE(ReportFile::Open(files, (dir.path() / "missing" / "r.jsonl").string(), error));
}
#endif

TEST(ModuleSession, TheRecordComesFromTheSessionsEvents) {
    UpdateRig rig(600);  // three pages
    rig.module.pageReply = [](std::size_t page, int send) -> std::optional<std::uint8_t> {
        return page == 1 && send <= 2 ? '@' : '!';
    };
    ModuleRecord record;
    ModuleRecordEvents events(record, nullptr);
    rig.dlg.AddListener(events);
    rig.Init();
    ASSERT_TRUE(rig.BeginUpdate());
    rig.TickUntilIdle();
    ASSERT_EQ(rig.LastBox()->caption, "Firmware Update Complete");

    EXPECT_TRUE(events.Started());
    EXPECT_EQ(record.bootLoader, "VR-VMM-KT76");
    EXPECT_EQ(record.pages, 3U);
    EXPECT_EQ(record.lastPage, 3U);
    EXPECT_EQ(record.resends, (std::map<unsigned, unsigned>{{2, 2}}));
    EXPECT_EQ(record.outcome,
              "The Vorenta KT7.6 VMM & DO-232 R2 Mobile Module firmware has been successfully "
              "updated.");
    EXPECT_EQ(record.firmwareSize, std::optional<std::uint64_t>(600));
    EXPECT_EQ(record.firmwareSha256.size(), 64U);

    // A boot loader that is refused leaves no identification, and the headline says why.
    UpdateRig refused(600);
    refused.module.identification = "vr-vmm-kt76\r";
    ModuleRecord failed;
    ModuleRecordEvents failedEvents(failed, nullptr);
    refused.dlg.AddListener(failedEvents);
    refused.Init();
    refused.BeginUpdate();
    refused.TickUntilIdle();
    EXPECT_EQ(failed.bootLoader, "");
    EXPECT_EQ(failed.pages, 0U);
    EXPECT_EQ(failed.outcome,
              "Invalid version response from the Vorenta KT7.6 VMM & DO-232 R2 Mobile Module.");
}

// Replaces the rig's firmware while the module is polled with `bytes` of 'N'.
void ReplaceFirmwareWhilePolled(UpdateRig& rig, std::size_t bytes) {
    std::ofstream(rig.programDir / "module.new", std::ios::binary) << std::string(bytes, 'N');
    fs::rename(rig.programDir / "module.new", rig.programDir / "module.bin");
    fs::last_write_time(rig.programDir / "module.bin",
                        fs::file_time_type::clock::now() + std::chrono::hours(30));
}

std::string Sha256Of(const std::string& bytes) {
    Sha256 hash;
    hash.Update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return Sha256::Hex(hash.Finish());
}

TEST(ModuleSession, TheRecordNamesTheFirmwareSentNotTheOneArmed) {
    UpdateRig rig(600);
    ModuleRecord record;
    ModuleRecordEvents events(record, nullptr);
    rig.dlg.AddListener(events);
    rig.Init();
    ASSERT_TRUE(rig.BeginUpdate());
    ReplaceFirmwareWhilePolled(rig, 300);
    rig.TickUntilIdle();
    ASSERT_EQ(rig.LastBox()->caption, "Firmware Update Complete");
    ASSERT_EQ(rig.module.pagesAccepted.size(), 2U);  // the new file went out

    EXPECT_EQ(record.firmwareSize, std::optional<std::uint64_t>(300));
    EXPECT_EQ(record.firmwareSha256, Sha256Of(std::string(300, 'N')));
    EXPECT_EQ(record.pages, 2U);
}

TEST(StationPorts, NamedDevicesGetNumbersOfTheirOwn) {
    StaticPortTable installed({{1, "/dev/ttyS0"}, {33, "/dev/ttyUSB0"}});
    StationPorts ports(installed, {"/dev/pts/3", "COM1", "/dev/pts/4", "/dev/ttyUSB0"});
    ASSERT_EQ(ports.Error(), "");
    EXPECT_EQ(ports.ComNumbers(), (std::vector<int>{2, 1, 3, 33}));
    EXPECT_EQ(ports.Table().DevicePathFor(2), "/dev/pts/3");
    EXPECT_EQ(ports.Table().DevicePathFor(3), "/dev/pts/4");
    std::vector<InstalledPort> listed;
    ASSERT_TRUE(ports.Table().ListPorts(listed));
    EXPECT_EQ(listed.size(), 4U);

    StationPorts none(installed, {});
    EXPECT_TRUE(none.ComNumbers().empty());
}

TEST(StationPorts, OnePortGivenTwiceIsAUsageError) {
    StaticPortTable installed({{1, "/dev/ttyS0"}, {33, "/dev/ttyUSB0"}});
    // COMn beside its own path, in either order.
    for (const auto& names : std::vector<std::vector<std::string>>{{"COM33", "/dev/ttyUSB0"},
                                                                   {"/dev/ttyUSB0", "COM33"}}) {
        StationPorts twice(installed, names);
        EXPECT_EQ(twice.ErrorStatus(), kExitUsage);
        EXPECT_EQ(twice.Error(), "--port " + names[1] +
                                     " is given twice: it is the same port as --port " + names[0]);
    }

#ifndef _WIN32
    // A link to a port, and a second name of the device: compared by device, not by name.
    const TempFolder dir("vorenta-production-");
    const fs::path device = dir.path() / "ttyFAKE0";
    std::ofstream(device).close();
    fs::create_symlink(device, dir.path() / "station");
    StationPorts linked(installed, {"COM1", device.string(), (dir.path() / "station").string()});
    EXPECT_EQ(linked.ErrorStatus(), kExitUsage);
    EXPECT_NE(
        linked.Error().find("is given twice: it is the same port as --port " + device.string()),
        std::string::npos)
        << linked.Error();
#endif
    // Only names that reach one device are refused.
    StationPorts apart(installed, {"COM1", "/dev/pts/3"},
                       [](const std::string&, const std::string&) { return false; });
    EXPECT_EQ(apart.Error(), "");
}

TEST(StationConsole, LinesOfSeveralPortsNeverMixWithinALine) {
    const TempFolder dir("vorenta-production-");
    const fs::path path = dir.path() / "out.txt";
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    constexpr int kLines = 300;
    {
        StationConsole console(out, false, {"COM5", "COM12"});
        IConsole& a = console.Port(0);
        IConsole& b = console.Port(1);
        std::jthread first([&a] {
            for (int i = 0; i < kLines; ++i) {
                // A line written in pieces comes out once it has ended.
                a.Write("first half ");
                a.Write("second half " + std::to_string(i) + "\n");
            }
        });
        std::jthread second([&b] {
            for (int i = 0; i < kLines; ++i) {
                b.Progress(static_cast<unsigned>(i + 1), kLines);
            }
        });
    }
    std::fclose(out);
    const auto lines = Lines(ReadAll(path));
    ASSERT_EQ(lines.size(), 2U * kLines);
    int fromA = 0;
    int fromB = 0;
    for (const std::string& line : lines) {
        if (line.rfind("COM5: first half second half ", 0) == 0) {
            ++fromA;
        } else if (line.rfind("COM12: Sending firmware page  ", 0) == 0) {
            ++fromB;
        } else {
            ADD_FAILURE() << "mixed line: " << line;
        }
    }
    EXPECT_EQ(fromA, kLines);
    EXPECT_EQ(fromB, kLines);
}

TEST(StationConsole, OnATerminalProgressStaysOnOneLinePerPort) {
    const TempFolder dir("vorenta-production-");
    const fs::path path = dir.path() / "tty.txt";
    std::FILE* out = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(out, nullptr);
    {
        StationConsole console(out, true, {"COM5", "COM6"}, 40);
        console.Port(0).Progress(1, 4);
        console.Port(1).Write(
            "Waiting for the module on COM6 (put it into its firmware update mode)\n");
        console.Port(0).Progress(2, 4);
        console.Finish();
        console.Line("Summary:");
    }
    std::fclose(out);
    const std::string text = ReadAll(path);
    // Progress redraws the two lines in place: up two lines, clear, draw again.
    EXPECT_NE(text.find("\x1b[2A\r\x1b[J"), std::string::npos);
    EXPECT_EQ(text.find("COM5: Sending"), std::string::npos);  // no scrolling line for progress
    EXPECT_NE(text.find("COM6: Waiting for the module"), std::string::npos);  // messages scroll
    const auto lines = Lines(text);
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines.back(), "Summary:");
    for (const std::string& line : lines) {
        const std::string shown =
            line.substr(line.rfind("\x1b[J") == std::string::npos ? 0 : line.rfind("\x1b[J") + 3);
        if (shown.rfind("COM", 0) == 0 && shown.find(": ") != 4) {
            EXPECT_LT(shown.size(), 40U) << "a board line must not wrap: " << shown;
        }
    }
    // Half the pages begun: half the bar, cut where the terminal ends.
    EXPECT_NE(text.find("COM5  [###############---------------] \n"), std::string::npos) << text;
}

TEST(ProductionTally, StatusSummaryAndTally) {
    PortTally tally;
    tally.port = "COM5";
    tally.device = "/dev/pts/3";
    ModuleRecord record;
    record.module = 1;
    record.exitStatus = kExitUpdated;
    record.outcome = "updated";
    record.durationMs = 65400;
    CountModule(tally, record);
    EXPECT_EQ(TallyText(tally),
              "1 updated, 0 failed; last module updated in 1:05. Waiting for the next module "
              "(Ctrl-C ends).");
    EXPECT_EQ(PortStatus(tally, true, std::nullopt, kExitUpdated), kExitUpdated);
    EXPECT_EQ(PortStatus(tally, true, 3U, kExitGaveUp), kExitGaveUp);  // two never came

    record.module = 2;
    record.exitStatus = kExitFailureReported;
    record.outcome = "Invalid version response from the X.";
    CountModule(tally, record);
    EXPECT_EQ(PortStatus(tally, true, 2U, kExitFailureReported), kExitFailureReported);
    // A later success does not hide the failure.
    EXPECT_EQ(PortStatus(tally, true, std::nullopt, kExitUpdated), kExitFailureReported);
    EXPECT_EQ(SummaryText(tally, true),
              "COM5 (/dev/pts/3): 1 updated, 1 failed; module 2: Invalid version response from "
              "the X.");
    // A port lost after a failed module: the failure decides.
    EXPECT_EQ(PortStatus(tally, true, std::nullopt, kExitPortUnavailable), kExitFailureReported);

    PortTally single;
    single.port = "COM6";
    record.module = 1;
    CountModule(single, record);
    EXPECT_EQ(SummaryText(single, false), "COM6: failed: Invalid version response from the X.");
    PortTally idle;
    idle.port = "COM7";
    idle.stoppedBecause = "The module did not answer within 8 seconds.";
    EXPECT_EQ(SummaryText(idle, false),
              "COM7: not updated: The module did not answer within 8 seconds.");
    EXPECT_EQ(PortStatus(idle, true, std::nullopt, kExitGaveUp), kExitGaveUp);

    single.status = kExitFailureReported;
    idle.status = kExitGaveUp;
    PortTally fine;
    EXPECT_EQ(CombinedStatus({fine, single, idle}), kExitFailureReported);
    EXPECT_EQ(CombinedStatus({fine, fine}), kExitUpdated);
    // A module failed on a later port still outweighs a port lost or idle before it.
    PortTally lost;
    lost.status = kExitPortUnavailable;
    EXPECT_EQ(CombinedStatus({lost, idle, single}), kExitFailureReported);
    EXPECT_EQ(CombinedStatus({fine, lost, idle}), kExitPortUnavailable);
    EXPECT_EQ(CombinedStatus({idle, lost}), kExitGaveUp);
}

TEST(ProductionTally, ALostPortIsNoModule) {
    ModuleRecord record;
    for (const int status : {kExitUsage, kExitPortUnavailable, kExitGaveUp}) {
        record.exitStatus = status;
        EXPECT_FALSE(MetAModule(record)) << status;
    }
    for (const int status : {kExitUpdated, kExitFailureReported}) {
        record.exitStatus = status;
        EXPECT_TRUE(MetAModule(record)) << status;
    }

    // One module updated, then the line went: one module, and the port lost.
    PortTally tally;
    tally.port = "COM6";
    record.module = 1;
    record.exitStatus = kExitUpdated;
    record.outcome = "updated";
    CountModule(tally, record);
    tally.lostBecause = "Unable to open serial port COM6";
    EXPECT_EQ(SummaryText(tally, true),
              "COM6: 1 updated, 0 failed; port lost: Unable to open serial port COM6");
    EXPECT_EQ(PortStatus(tally, true, 2U, kExitPortUnavailable), kExitPortUnavailable);

    PortTally never;
    never.port = "COM7";
    never.lostBecause = "Unable to open serial port COM7";
    EXPECT_EQ(SummaryText(never, false), "COM7: lost: Unable to open serial port COM7");
    EXPECT_EQ(PortStatus(never, false, std::nullopt, kExitPortUnavailable), kExitPortUnavailable);
}

TEST(ProductionTally, ADevicePathCannotForgeALineOfTheSummary) {
    PortTally tally;
    tally.port = "COM5";
    tally.device = "/dev/x\nCOM6 (/dev/y): 5 updated, 0 failed";
    tally.updated = 1;
    const std::string summary = SummaryText(tally, true);
    EXPECT_EQ(summary.find('\n'), std::string::npos) << summary;
    EXPECT_EQ(summary, "COM5 (/dev/x?COM6 (/dev/y): 5 updated, 0 failed): 1 updated, 0 failed");
}

TEST(ProductionTally, OneLogFilePerPort) {
    EXPECT_EQ(PerPortPath("wire.log", "COM5"), "wire-COM5.log");
    EXPECT_EQ(PerPortPath("/var/log/x.d/wire", "COM12"), "/var/log/x.d/wire-COM12");
    EXPECT_EQ(PerPortPath("logs/.wire", "COM1"), "logs/.wire-COM1");
    // A folder gets a file of a proper name, never "-COM2" alone.
    EXPECT_EQ(WireLogPath("logs/", "COM2", true), "logs/wire-COM2.log");
    EXPECT_EQ(WireLogPath("/var/log/v/", "COM2", false), "/var/log/v/wire.log");
    EXPECT_EQ(WireLogPath("wire.log", "COM2", false), "wire.log");
    EXPECT_EQ(WireLogPath("wire.log", "COM2", true), "wire-COM2.log");
    EXPECT_EQ(MinutesAndSeconds(0), "0:00");
    EXPECT_EQ(MinutesAndSeconds(59600), "1:00");
    EXPECT_EQ(MinutesAndSeconds(3725000), "62:05");
}

}  // namespace
}  // namespace vorenta::test
