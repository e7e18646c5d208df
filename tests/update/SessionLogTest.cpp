#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "UpdateRig.h"
#include "firmware/Sha256.h"
#include "platform/NativePlatform.h"
#include "update/SessionLogStore.h"
#include "update/SessionRecorder.h"

namespace vorenta::test {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLogName = "2026-12-07_14-02-31_vorenta-test_COM3.log";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
unsigned ModeOf(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777U : 0U;
}
#endif

// The update rig's window, with a session recorder between it and the host
// and the device, as both programs have it.
class RecordedRig {
  public:
    explicit RecordedRig(std::optional<fs::path> logFolder = std::nullopt,
                         ILogFolder* folderOverride = nullptr,
                         std::function<void(const std::string&)> sayNoLog = {})
        : logDir(logFolder.value_or(rig.root / "state" / "Harwen Systems" / "logs")),
          recorder(rig.host, rig.device, rig.clock,
                   {"vorenta-test", "9.8.7", "TestOS 1.0",
                    folderOverride != nullptr ? folderOverride : &folder, [this] { return now; },
                    [](const std::string& device) { return "USB adapter behind " + device; },
                    std::move(sayNoLog)}) {
        // The folder above the company's is there, as the user's own data folder is.
        if (!logFolder) {
            fs::create_directories(rig.root / "state");
        }
        dlg.firmware.programDir = rig.dlg.firmware.programDir;
        dlg.pageImage.tempDir = rig.dlg.pageImage.tempDir;
        dlg.AddListener(recorder);
        rig.host.Attach(&dlg);
        dlg.OnInitDialog();
        rig.clock.SetStep(1);
    }

    void RunSession(int ticks = 20) {
        ASSERT_TRUE(rig.BeginUpdate());
        for (int i = 0; i < ticks && dlg.session.updateActive == 1; ++i) {
            rig.clock.Advance(500);
            rig.host.TimerTick();
        }
    }
    std::string Log(std::string_view name = kLogName) const { return ReadFile(logDir / name); }
    std::vector<std::string> Notices() const {
        std::vector<std::string> notices;
        for (const std::string& line : rig.host.logLines) {
            if (line.find("session log") != std::string::npos) {
                notices.push_back(line);
            }
        }
        return notices;
    }

    UpdateRig rig;
    LocalTime now{2026, 12, 7, 14, 2, 31};
    fs::path logDir;
    NativeLogFolder folder{logDir.string()};
    SessionRecorder recorder;
    std::int8_t preferredPort = -1;
    UpdateDlgPlatform platform{rig.host,     rig.clock, recorder.Device(), rig.ports,
                               rig.settings, rig.peers, rig.files};
    CPLSM_UpdateDlg dlg{platform, preferredPort, "vorenta-test"};
};

TEST(SessionLogs, SuccessLeavesOneLogWithHeaderOperatorLinesWireAndOutcome) {
    RecordedRig r;
    r.RunSession();
    ASSERT_EQ(r.rig.host.messageBoxes.back().caption, "Firmware Update Complete");

    ASSERT_EQ(FilesIn(r.logDir), std::vector<std::string>{std::string(kLogName)});
#ifndef _WIN32
    EXPECT_EQ(ModeOf(r.logDir / kLogName), 0600U);
    EXPECT_EQ(ModeOf(r.logDir), 0700U);
    EXPECT_EQ(ModeOf(r.logDir.parent_path()), 0700U);
#endif
    const std::string log = r.Log();

    const auto firmware = r.rig.Firmware();
    Sha256 hash;
    hash.Update(firmware.data(), firmware.size());
    for (const std::string& field : {
             std::string("program:          vorenta-test 9.8.7\n"),
             std::string("platform:         TestOS 1.0\n"),
             std::string("started:          2026-12-07 14:02:31\n"),
             "firmware file:    " + r.dlg.firmware.programDir + "module.bin\n",
             std::string("firmware size:    600 bytes\n"),
             "firmware SHA-256: " + Sha256::Hex(hash.Finish()) + "\n",
             std::string("firmware version: 2.1.7\n"),
             std::string("port:             COM3 /dev/ttyFAKE3\n"),
             std::string("adapter:          USB adapter behind /dev/ttyFAKE3\n"),
         }) {
        EXPECT_NE(log.find(field), std::string::npos) << field;
    }
    EXPECT_EQ(log.find("firmware date:    (not known)"), std::string::npos);

    // The wire: open, line settings, the preparation, the poll, the answer,
    // the release and the close, in the --log format.
    const std::size_t open = log.find(" ms OPEN  /dev/ttyFAKE3\n");
    ASSERT_NE(open, std::string::npos);
    EXPECT_GT(open, log.find("adapter:"));
    EXPECT_NE(log.find(" ms LINE  38400 8N1\n"), std::string::npos);
    EXPECT_NE(log.find(" ms TX    3C 3C 24 3A 55 39\n"), std::string::npos);  // "<<$:U9"
    EXPECT_NE(log.find(" ms PURGE input\n"), std::string::npos);
    EXPECT_NE(log.find(" 46 01 C0 00 00\n"), std::string::npos);  // the poll frame
    EXPECT_NE(log.find(" ms RX    D0\n"), std::string::npos);
    EXPECT_EQ(Count(log, " ms SHOW  Sending firmware page "), 3U);
    const std::size_t box = log.find(" ms BOX   [Firmware Update Complete]\n");
    ASSERT_NE(box, std::string::npos);
    EXPECT_NE(log.find(" ms BOX   | " + r.rig.host.messageBoxes.back().text + "\n"),
              std::string::npos);
    EXPECT_LT(log.find(" ms SHOW  Sending firmware page  3  of  3\n"), box);
    EXPECT_LT(log.find(" ms TX    3C 57\n"), box);
    EXPECT_LT(log.find(" ms CLOSE \n"), box);

    EXPECT_TRUE(log.ends_with("\noutcome:          success\n")) << log.substr(log.size() - 80);
    EXPECT_NE(log.find("\nduration:         "), std::string::npos);
    EXPECT_EQ(SessionResultFromTail(log), SessionResult::Success);
    EXPECT_EQ(r.recorder.LastLogPath(), (r.logDir / kLogName).string());
    EXPECT_TRUE(r.recorder.LastLogComplete());
    EXPECT_TRUE(r.Notices().empty());
}

TEST(SessionLogs, AFirmwareReplacedWhilePolledIsLoggedAsSent) {
    RecordedRig r;
    ASSERT_TRUE(r.rig.BeginUpdate());
    std::ofstream(r.rig.programDir / "module.new", std::ios::binary) << std::string(300, 'N');
    fs::rename(r.rig.programDir / "module.new", r.rig.programDir / "module.bin");
    fs::last_write_time(r.rig.programDir / "module.bin",
                        fs::file_time_type::clock::now() + std::chrono::hours(30));
    for (int i = 0; i < 20 && r.dlg.session.updateActive == 1; ++i) {
        r.rig.clock.Advance(500);
        r.rig.host.TimerTick();
    }
    ASSERT_EQ(r.rig.host.messageBoxes.back().caption, "Firmware Update Complete");

    const std::string sent(300, 'N');
    Sha256 hash;
    hash.Update(reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size());
    const std::string log = r.Log();
    // The header names the file as armed; the line before the first page the one sent.
    EXPECT_NE(log.find("firmware size:    600 bytes\n"), std::string::npos);
    const std::size_t line = log.find(" ms SAY   Firmware sent: 300 bytes, SHA-256 " +
                                      Sha256::Hex(hash.Finish()) + ", version 2.1.7\n");
    ASSERT_NE(line, std::string::npos) << log;
    EXPECT_LT(line, log.find(" ms SHOW  Sending firmware page  1  of  2\n"));

    // An unchanged file adds no such line.
    RecordedRig same;
    same.RunSession();
    EXPECT_EQ(same.Log().find("Firmware sent:"), std::string::npos);
}

TEST(SessionLogs, FailureLeavesOneLogWithTheWholeMessageAndFailureOutcome) {
    RecordedRig r;
    r.rig.module.identification = "vr-vmm-kt76\r";  // refused: invalid version
    r.RunSession();
    const auto& box = r.rig.host.messageBoxes.back();
    ASSERT_EQ(box.caption, "Firmware Update Error");

    ASSERT_EQ(FilesIn(r.logDir).size(), 1U);
    const std::string log = r.Log();
    EXPECT_NE(log.find(" ms BOX   [Firmware Update Error]\n"), std::string::npos);
    // Every line of the message, blank lines and trailing blanks included.
    std::size_t lines = 0;
    std::istringstream text(box.text);
    for (std::string line; std::getline(text, line); ++lines) {
        EXPECT_NE(log.find(" ms BOX   | " + line + "\n"), std::string::npos) << line;
    }
    EXPECT_GT(lines, 10U);
    EXPECT_EQ(Count(log, " ms BOX   | "), std::count(box.text.begin(), box.text.end(), '\n') + 1);
    EXPECT_NE(log.find(" ms SHOW  Firmware update failed\n"), std::string::npos);
    EXPECT_NE(log.find(" ms RX    76\n"), std::string::npos);  // the "v" of "vr-..." on the wire
    EXPECT_TRUE(log.ends_with("\noutcome:          failure\n"));
}

TEST(SessionLogs, CancelPortFailureAndEverySessionHaveTheirOwnLog) {
    RecordedRig r;
    r.rig.module.answerAtPoll = 1000;
    r.RunSession(3);
    ASSERT_EQ(r.dlg.session.updateActive, 1);
    ASSERT_TRUE(r.rig.BeginUpdate());  // "Cancel Update"
    ASSERT_EQ(r.dlg.session.updateActive, 0);
    std::string log = r.Log();
    EXPECT_TRUE(log.ends_with("\noutcome:          cancelled\n"));
    EXPECT_NE(log.find(" ms TX    3C 57\n"), std::string::npos);

    // Same second, same port: the second log gets a name of its own.
    r.rig.device.failOpen = true;
    ASSERT_TRUE(r.rig.BeginUpdate());
    const std::string second = "2026-12-07_14-02-31_vorenta-test_COM3-2.log";
    ASSERT_EQ(FilesIn(r.logDir), (std::vector<std::string>{second, std::string(kLogName)}));
    log = r.Log(second);
    EXPECT_NE(log.find(" ms OPEN  /dev/ttyFAKE3 (failed)\n"), std::string::npos);
    EXPECT_NE(log.find(" ms BOX   | Unable to open serial port COM3     \n"), std::string::npos);
    EXPECT_TRUE(log.ends_with("\noutcome:          failure\n"));

    // Ticks and clicks outside a session write nothing anywhere.
    const std::string before = r.Log(second);
    r.rig.clock.Advance(500);
    r.rig.host.TimerTick();
    EXPECT_EQ(r.Log(second), before);
    EXPECT_EQ(FilesIn(r.logDir).size(), 2U);
}

TEST(SessionLogs, ProgramEndingDuringASessionStillLeavesAnOutcome) {
    TempFolder logs("vorenta-logs-");
    const fs::path dir = logs.path();
    {
        RecordedRig r(dir);
        r.rig.module.answerAtPoll = 1000;
        r.RunSession(2);
        r.recorder.Note("Interrupted.");
        EXPECT_EQ(SessionResultFromTail(r.Log()), std::nullopt);  // still running
        r.dlg.OnDestroy();
    }
    const std::string log = ReadFile(dir / kLogName);
    EXPECT_NE(log.find(" ms SAY   Interrupted.\n"), std::string::npos);
    EXPECT_NE(log.find(" ms SAY   The program ended during the session.\n"), std::string::npos);
    EXPECT_TRUE(log.ends_with("\noutcome:          cancelled\n"));
}

// The same update with and without a writable log folder: the same bytes on
// the wire, the same outcome, and one line of the program's log saying why.
std::vector<std::vector<std::uint8_t>> WritesOf(const UpdateRig& rig) {
    std::vector<std::vector<std::uint8_t>> writes;
    for (const auto& write : rig.device.writes) {
        writes.push_back(write.bytes);
    }
    return writes;
}

TEST(SessionLogs, AnUnwritableFolderLeavesTheUpdateUnaffectedAndIsSaidOnce) {
    UpdateRig plain;
    plain.Init();
    plain.BeginUpdate();
    plain.TickUntilIdle();
    ASSERT_EQ(plain.LastBox()->caption, "Firmware Update Complete");

    RecordedRig probe;
    const fs::path blocker = probe.rig.root / "state-is-a-file";
    std::ofstream(blocker) << "x";
    for (const fs::path& folder : {blocker / "Harwen Systems" / "logs", blocker}) {
        RecordedRig r(folder);
        r.RunSession();
        ASSERT_EQ(r.rig.host.messageBoxes.back().caption, "Firmware Update Complete");
        EXPECT_EQ(WritesOf(r.rig), WritesOf(plain));
        EXPECT_EQ(r.rig.module.pagesAccepted, plain.module.pagesAccepted);
        EXPECT_EQ(r.rig.settings.values, plain.settings.values);
        r.RunSession();
        ASSERT_EQ(r.Notices().size(), 1U);
        EXPECT_EQ(r.Notices()[0].rfind("No session log is written: ", 0), 0U) << r.Notices()[0];
        EXPECT_TRUE(r.recorder.LastLogPath().empty());
    }
}

TEST(SessionLogs, WhyNoLogIsWrittenGoesWhereTheProgramAsks) {
    RecordedRig probe;
    const fs::path blocker = probe.rig.root / "state-is-a-file";
    std::ofstream(blocker) << "x";
    std::vector<std::string> said;
    RecordedRig r(blocker / "logs", nullptr,
                  [&said](const std::string& text) { said.push_back(text); });
    r.RunSession();
    r.RunSession();
    ASSERT_EQ(said.size(), 1U);
    EXPECT_EQ(said[0].rfind("No session log is written: ", 0), 0U) << said[0];
    EXPECT_TRUE(r.Notices().empty());  // not twice
}

TEST(SessionLogFormat, HeaderFieldsFromOutsideStayOnTheirLineWithoutControlCharacters) {
    class Memory : public ILogWriter {
      public:
        explicit Memory(std::string& text) : text_(text) {}
        bool Write(std::string_view text) override {
            text_.append(text);
            return true;
        }

      private:
        std::string& text_;
    };
    std::string text;
    FakeClock clock(0, 1);
    SessionLog log(std::make_unique<Memory>(text), clock, "x.log");
    SessionLogHeader header;
    header.firmwareVersion = "2.1\x1b]0;owned\x07\nport:             COM9 /dev/forged";
    header.firmwarePath = "/fw/\x1b[2Jmodule.bin";
    header.devicePath = "/dev/tty\nX";
    header.adapter = "FTDI \x9b";
    log.WriteHeader(header);
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
    EXPECT_NE(text.find("\nfirmware version: 2.1?]0;owned??port:             COM9 /dev/forged\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nfirmware file:    /fw/?[2Jmodule.bin\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nport:             COM0 /dev/tty?X\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nadapter:          FTDI ?\n"), std::string::npos) << text;
}

// A folder whose files take `room` bytes and then fail, like a full disk.
class FullDiskFolder : public ILogFolder {
  public:
    explicit FullDiskFolder(std::size_t room) : room_(room) {}
    std::string Path() const override { return "/full"; }
    std::string PathOf(const std::string& name) const override { return "/full/" + name; }
    std::unique_ptr<ILogWriter> Create(const std::string&, std::string&) override {
        class Writer : public ILogWriter {
          public:
            explicit Writer(FullDiskFolder& folder) : folder_(folder) {}
            bool Write(std::string_view text) override {
                ++folder_.writes;
                if (text.size() > folder_.room_) {
                    return false;
                }
                folder_.room_ -= text.size();
                return true;
            }

          private:
            FullDiskFolder& folder_;
        };
        return std::make_unique<Writer>(*this);
    }
    std::vector<std::string> List() override { return {}; }
    bool Exists(const std::string&) override { return false; }
    std::string ReadHead(const std::string&, std::size_t) override { return {}; }
    std::string ReadTail(const std::string&, std::size_t) override { return {}; }
    bool Remove(const std::string&) override { return false; }

    int writes = 0;

  private:
    std::size_t room_;
};

TEST(SessionLogs, AWriteFailingMidSessionStopsTheLogNotTheUpdate) {
    FullDiskFolder full(2000);
    RecordedRig r(std::nullopt, &full);
    r.RunSession();
    ASSERT_EQ(r.rig.host.messageBoxes.back().caption, "Firmware Update Complete");
    EXPECT_EQ(r.rig.module.pagesAccepted.size(), 3U);
    ASSERT_EQ(r.Notices().size(), 1U);
    EXPECT_EQ(r.Notices()[0],
              "The session log could not be written: /full/" + std::string(kLogName));
    EXPECT_FALSE(r.recorder.LastLogComplete());  // the program says so at its end
    const int writesAtFailure = full.writes;
    r.RunSession();
    EXPECT_EQ(r.Notices().size(), 1U);        // said once for the program's whole run
    EXPECT_GT(full.writes, writesAtFailure);  // the next session tries again
}

#ifndef _WIN32  // links are a privilege on Windows
TEST(SessionLogs, NeverWritesThroughALink) {
    RecordedRig probe;
    const fs::path elsewhere = probe.rig.root / "elsewhere";
    fs::create_directories(elsewhere);
    const fs::path linked = probe.rig.root / "linked-logs";
    fs::create_directory_symlink(elsewhere, linked);
    {
        RecordedRig r(linked);
        r.RunSession();
        EXPECT_EQ(r.rig.host.messageBoxes.back().caption, "Firmware Update Complete");
        EXPECT_TRUE(FilesIn(elsewhere).empty());
        ASSERT_EQ(r.Notices().size(), 1U);
    }
    // A link planted under the session's own name is neither followed nor removed.
    RecordedRig r;
    fs::create_directories(r.logDir);
    const fs::path target = r.rig.root / "target.txt";
    std::ofstream(target) << "keep";
    fs::create_symlink(target, r.logDir / kLogName);
    r.RunSession();
    EXPECT_EQ(r.rig.host.messageBoxes.back().caption, "Firmware Update Complete");
    EXPECT_EQ(ReadFile(target), "keep");
    EXPECT_TRUE(fs::is_symlink(r.logDir / kLogName));
}
#endif

TEST(SessionLogs, SomethingPlantedAtTheLogsNameMakesItTakeTheNextFreeName) {
    RecordedRig r;
    fs::create_directories(r.logDir / kLogName);  // a folder
    const std::string second = "2026-12-07_14-02-31_vorenta-test_COM3-2.log";
    const std::string third = "2026-12-07_14-02-31_vorenta-test_COM3-3.log";
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((r.logDir / second).c_str(), 0600), 0);  // a FIFO
    const std::string taken = third;
#else
    const std::string taken = second;
#endif
    r.RunSession();
    EXPECT_EQ(r.rig.host.messageBoxes.back().caption, "Firmware Update Complete");
    EXPECT_EQ(r.recorder.LastLogPath(), (r.logDir / taken).string());
    EXPECT_TRUE(r.Log(taken).ends_with("\noutcome:          success\n"));
    EXPECT_TRUE(r.Notices().empty());
    EXPECT_TRUE(fs::is_directory(r.logDir / kLogName));
}

// Rotation.

SessionLogEntry Entry(int n, std::optional<SessionResult> result) {
    const LocalTime when{2025, 1 + n / 28 % 12, 1 + n % 28, 10, 0, 0};
    return {SessionLogName(when, "vorenta-flash", 3), result};
}

TEST(SessionLogRotation, KeepsTheNewestAndPrefersFailures) {
    std::vector<SessionLogEntry> newestFirst;
    for (int n = 59; n >= 0; --n) {
        newestFirst.push_back(Entry(n, SessionResult::Success));
    }
    // Nothing to do within the limit.
    EXPECT_TRUE(LogsToRemove({newestFirst.begin(), newestFirst.begin() + 50}, 50, 10).empty());

    // The ten oldest go.
    auto removed = LogsToRemove(newestFirst, 50, 10);
    ASSERT_EQ(removed.size(), 10U);
    EXPECT_EQ(removed.front(), Entry(0, {}).name);
    EXPECT_EQ(removed.back(), Entry(9, {}).name);

    // Failed and unfinished sessions among the oldest stay; the next oldest go instead.
    newestFirst[59].result = SessionResult::Failure;    // the oldest
    newestFirst[58].result = std::nullopt;              // unfinished
    newestFirst[55].result = SessionResult::Cancelled;  // not a failure
    removed = LogsToRemove(newestFirst, 50, 10);
    ASSERT_EQ(removed.size(), 10U);
    EXPECT_EQ(std::count(removed.begin(), removed.end(), newestFirst[59].name), 0);
    EXPECT_EQ(std::count(removed.begin(), removed.end(), newestFirst[58].name), 0);
    EXPECT_EQ(std::count(removed.begin(), removed.end(), newestFirst[55].name), 1);
    EXPECT_EQ(removed.back(), Entry(11, {}).name);

    // Only the ten newest failures are protected: older ones are ordinary logs.
    for (int i = 0; i < 12; ++i) {
        newestFirst[static_cast<std::size_t>(i)].result = SessionResult::Failure;
    }
    removed = LogsToRemove(newestFirst, 50, 10);
    EXPECT_EQ(removed.front(), newestFirst[59].name);
    EXPECT_EQ(removed[1], newestFirst[58].name);

    // With too few others, protected logs go too, the oldest first.
    std::vector<SessionLogEntry> failures;
    for (int n = 12; n >= 0; --n) {
        failures.push_back(Entry(n, SessionResult::Failure));
    }
    removed = LogsToRemove(failures, 5, 10);
    ASSERT_EQ(removed.size(), 8U);
    EXPECT_EQ(removed.front(), Entry(0, {}).name);
}

TEST(SessionLogRotation, SessionStartLeavesFiftyAndTheFailures) {
    RecordedRig r;
    fs::create_directories(r.logDir);
    for (int n = 0; n < 60; ++n) {
        const bool failed = n < 5;
        std::ofstream(r.logDir / Entry(n, {}).name)
            << "Vorenta firmware update session log\nheader\n\nduration:         1.000 s\noutcome: "
               "         "
            << (failed ? "failure" : "success") << "\n";
    }
    std::ofstream(r.logDir / "notes.txt") << "not a log";
    r.RunSession();

    const auto names = FilesIn(r.logDir);
    EXPECT_EQ(names.size(), 51U);  // 50 logs and the foreign file
    for (int n = 0; n < 5; ++n) {
        EXPECT_TRUE(std::binary_search(names.begin(), names.end(), Entry(n, {}).name)) << n;
    }
    for (int n = 5; n < 16; ++n) {
        EXPECT_FALSE(std::binary_search(names.begin(), names.end(), Entry(n, {}).name)) << n;
    }
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), std::string(kLogName)));
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), std::string("notes.txt")));

    SessionLogStore store(r.folder);
    const auto logs = store.Logs();
    ASSERT_EQ(logs.size(), 50U);
    EXPECT_EQ(logs.front().name, kLogName);
    EXPECT_EQ(logs.front().result, SessionResult::Success);
    EXPECT_EQ(logs.back().result, SessionResult::Failure);
}

// A finished log as this system writes it, numbered `number`.
void PlantLog(const fs::path& path, int number) {
    std::ofstream(path) << "Vorenta firmware update session log\nlog number:       " << number
                        << "\n\nduration:         1.000 s\noutcome:          success\n";
}

TEST(SessionLogRotation, OrderIsWhenLogsWereMadeWhateverTheClockSays) {
    RecordedRig r;
    fs::create_directories(r.logDir);
    // 49 logs of a day later than the clock now says (it was set back).
    for (int n = 1; n <= 49; ++n) {
        PlantLog(r.logDir / SessionLogName({2026, 12, 8, 10, 0, n}, "vorenta-flash", 3), n);
    }
    r.RunSession();  // the 50th log: the previous session's for the next one
    r.now.minute = 3;
    r.RunSession();
    const std::string previous(kLogName);
    const std::string newest = "2026-12-07_14-03-31_vorenta-test_COM3.log";
    const auto names = FilesIn(r.logDir);
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), previous));
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), newest));
    // The first made went instead.
    EXPECT_FALSE(std::binary_search(names.begin(), names.end(),
                                    SessionLogName({2026, 12, 8, 10, 0, 1}, "vorenta-flash", 3)));
    EXPECT_EQ(names.size(), 50U);
    SessionLogStore store(r.folder);
    const auto logs = store.Logs();
    ASSERT_GE(logs.size(), 3U);
    EXPECT_EQ(logs[0].name, newest);
    EXPECT_EQ(logs[1].name, previous);
    EXPECT_EQ(logs[2].name, SessionLogName({2026, 12, 8, 10, 0, 49}, "vorenta-flash", 3));
    EXPECT_NE(r.Log(newest).find("\nlog number:       51\n"), std::string::npos);
}

TEST(SessionLogRotation, ElevenLogsOfOneSecondAreListedInTheOrderTheyWereMade) {
    RecordedRig r;
    r.rig.device.failOpen = true;  // a session of its own each, at once
    for (int n = 0; n < 11; ++n) {
        ASSERT_TRUE(r.rig.BeginUpdate());
    }
    SessionLogStore store(r.folder);
    const auto logs = store.Logs();
    ASSERT_EQ(logs.size(), 11U);
    EXPECT_EQ(logs[0].name, "2026-12-07_14-02-31_vorenta-test_COM3-11.log");
    EXPECT_EQ(logs[1].name, "2026-12-07_14-02-31_vorenta-test_COM3-10.log");
    EXPECT_EQ(logs[2].name, "2026-12-07_14-02-31_vorenta-test_COM3-9.log");
    EXPECT_EQ(logs[10].name, kLogName);
}

TEST(SessionLogRotation, OnlyLogsThisSystemWroteAreEverRemoved) {
    RecordedRig r;
    fs::create_directories(r.logDir);
    for (int n = 1; n <= 49; ++n) {
        PlantLog(r.logDir / SessionLogName({2026, 11, 1, 10, 0, n}, "vorenta-flash", 3), n);
    }
    // Older than every log, with names that fit the pattern.
    const std::string otherTool = "2020-01-01_00-00-00_other-tool_COM1.log";
    const std::string notALog = "2020-01-01_00-00-01_vorenta-flash_COM1.log";
    PlantLog(r.logDir / otherTool, 0);
    std::ofstream(r.logDir / notALog) << "someone else's notes\n";
#ifndef _WIN32
    const std::string someoneElses = "2020-01-01_00-00-02_vorenta-flash_COM1.log";
    PlantLog(r.logDir / someoneElses, 0);
    const bool root = ::geteuid() == 0;  // only root can give a file away
    if (root) {
        ASSERT_EQ(::chown((r.logDir / someoneElses).c_str(), 4242, 4242), 0);
    }
#endif
    r.RunSession();
    r.now.minute = 3;
    r.RunSession();
    const auto names = FilesIn(r.logDir);
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), otherTool));
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), notALog));
#ifndef _WIN32
    if (root) {
        EXPECT_TRUE(std::binary_search(names.begin(), names.end(), someoneElses));
    }
#endif
    // Our own oldest went instead.
    EXPECT_FALSE(std::binary_search(names.begin(), names.end(),
                                    SessionLogName({2026, 11, 1, 10, 0, 1}, "vorenta-flash", 3)));
}

TEST(SessionLogFormat, NamesOutcomesAndLines) {
    EXPECT_EQ(SessionLogName({2026, 1, 2, 3, 4, 5}, "vorenta-update", 12),
              "2026-01-02_03-04-05_vorenta-update_COM12.log");
    EXPECT_TRUE(IsSessionLogName("2026-01-02_03-04-05_vorenta-update_COM12.log"));
    EXPECT_TRUE(IsSessionLogName("2026-01-02_03-04-05_vorenta-update_COM12-2.log"));
    EXPECT_FALSE(IsSessionLogName("2026-01-02_03-04-05_vorenta-update.log"));
    EXPECT_FALSE(IsSessionLogName("2026-01-02_03-04-05_vorenta-update_COM12.txt"));
    EXPECT_FALSE(IsSessionLogName("notes.log"));
    EXPECT_FALSE(IsSessionLogName("2026-0x-02_03-04-05_vorenta-update_COM1.log"));
    EXPECT_FALSE(IsSessionLogName("2026-01-02_03-04-05_other-tool_COM1.log"));
    EXPECT_EQ(SessionLogNumberFromHead("Vorenta firmware update session log\n"
                                       "log number:       17\nprogram: x\n"),
              std::optional<std::uint64_t>(17));
    EXPECT_EQ(SessionLogNumberFromHead("Vorenta firmware update session log\nprogram: x\n"),
              std::nullopt);
    EXPECT_EQ(SessionLogNumberFromHead("log number: 17\n"), std::nullopt);
    EXPECT_EQ(SessionLogNumberFromHead("Vorenta firmware update session log\r\n"
                                       "log number:       17\r\n"),
              std::optional<std::uint64_t>(17));

    EXPECT_EQ(SessionResultFromTail("x\noutcome:          failure\n"), SessionResult::Failure);
    EXPECT_EQ(SessionResultFromTail("x\noutcome: cancelled"), SessionResult::Cancelled);
    EXPECT_EQ(SessionResultFromTail("x\noutcome: maybe\n"), std::nullopt);
    // A message line that merely mentions an outcome does not count.
    EXPECT_EQ(SessionResultFromTail("   12 ms BOX   | outcome: success\n"), std::nullopt);
    EXPECT_EQ(SessionResultFromTail(""), std::nullopt);

    EXPECT_EQ(WireLogLine(12, "CLOSE", ""), "        12 ms CLOSE \n");
    EXPECT_EQ(WireLogLine(4294967295U, "TX", "3C 57"), "4294967295 ms TX    3C 57\n");
}

}  // namespace
}  // namespace vorenta::test
