#include "tools/vorenta-sim/ProductionLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <sstream>
#include <thread>

#include "TransferDriver.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/MemorySerialDevice.h"
#include "serial/CRS232.h"
#include "serial/StaticPortTable.h"
#include "update/BasePreparation.h"

namespace vorenta::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What one reading of the line brings: bytes at the speed the updater had set.
struct Chunk {
    Bytes bytes;
    unsigned speed;
};

// Everything the updater writes for one whole module, write by write, made by
// the updater's own port object and base preparation (the replies are not
// needed to know what it sends).
std::vector<Chunk> OneModule(std::size_t pages) {
    FakeClock clock;
    MemorySerialDevice device{clock};
    StaticPortTable ports{{{1, "/dev/line"}}};
    CRS232 port{device, ports, clock};
    test::TransferDriver updater{port, clock};
    EXPECT_EQ(port.Open(1, 38400, 'N', 8, 1), 1);
    PrepareBaseStation(port, clock);
    for (int poll = 0; poll < 4; ++poll) {  // the answer comes at the third, one more follows
        updater.SendData({test::TransferDriver::kPoll});
    }
    updater.SendIdentification();
    const Bytes image = test::TestImage(pages);
    for (std::uint32_t page = 0; page < pages; ++page) {
        updater.SendPage(page, std::span(image).subspan(page * 256, 256));
    }
    updater.SendEndMarker();
    ReleaseBase(port, clock);
    std::vector<Chunk> chunks;
    for (const auto& write : device.writes) {
        chunks.push_back({write.bytes, write.settings.BaudRate});
    }
    return chunks;
}

// A line as a virtual machine's serial port gives it: the updater's bytes as
// scripted, and no hang-up when the updater closes its port (only at the end
// of the script, when asked).
class ScriptedLine : public SimLine {
  public:
    explicit ScriptedLine(std::deque<Chunk> script, bool hangUpAtEnd)
        : script_(std::move(script)), hangUpAtEnd_(hangUpAtEnd) {}

    const std::string& Path() const override { return path_; }
    WaitResult Wait(int timeoutMs, bool) override {
        if (!script_.empty() || hangUpAtEnd_) {
            return WaitResult::Ready;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 20)));
        return WaitResult::Timeout;
    }
    ReadResult Read(std::vector<std::uint8_t>& out) override {
        if (script_.empty()) {
            return hangUpAtEnd_ ? ReadResult::HungUp : ReadResult::Nothing;
        }
        out.insert(out.end(), script_.front().bytes.begin(), script_.front().bytes.end());
        speed_ = script_.front().speed;
        script_.pop_front();
        return ReadResult::Data;
    }
    long Write(std::span<const std::uint8_t> data) override {
        return static_cast<long>(data.size());
    }
    unsigned Speed() override { return speed_; }
    void Close() override {}
    std::string LastError() const override { return {}; }

  private:
    std::string path_ = "/dev/scripted";
    std::deque<Chunk> script_;
    bool hangUpAtEnd_;
    unsigned speed_ = 0;
};

struct LineRun {
    LineOutcome outcome;
    std::string summaries;
    std::string violations;
    double seconds = 0;
};

LineRun Serve(SimOptions options, std::deque<Chunk> script, bool hangUpAtEnd) {
    options.timeoutSeconds = 20;  // a safety net only
    ScriptedLine line(std::move(script), hangUpAtEnd);
    WireLog log;
    std::ostringstream out;
    std::ostringstream console;
    const auto start = std::chrono::steady_clock::now();
    LineRun run;
    run.outcome = ServeModules(options, line, log, out, console);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.summaries = out.str();
    run.violations = console.str();
    return run;
}

TEST(SimProductionLine, TheNextModuleBeginsAtTheReleaseThoughTheLineNeverCloses) {
    const std::vector<Chunk> module = OneModule(2);
    std::deque<Chunk> script;
    for (int m = 0; m < 3; ++m) {
        script.insert(script.end(), module.begin(), module.end());
    }
    SimOptions options;
    options.modules = 3;
    const LineRun run = Serve(options, script, true);
    EXPECT_EQ(run.violations, "");
    EXPECT_EQ(run.outcome.served, 3U);
    EXPECT_EQ(run.outcome.complete, 3U);
    EXPECT_EQ(run.outcome.lastEnding, Ending::Released);
    EXPECT_NE(run.summaries.find("3 of 3 modules updated completely"), std::string::npos)
        << run.summaries;
    EXPECT_LT(run.seconds, 5.0);

    // After the last module's release the line ends, even when nobody closes it.
    options.modules = 1;
    const LineRun last = Serve(options, {module.begin(), module.end()}, false);
    EXPECT_EQ(last.outcome.complete, 1U);
    EXPECT_EQ(last.outcome.lastEnding, Ending::Released);
    EXPECT_LT(last.seconds, 10.0);
}

TEST(SimProductionLine, BytesReadTogetherWithTheReleaseBelongToTheNextModule) {
    const std::vector<Chunk> module = OneModule(1);
    std::deque<Chunk> script(module.begin(), module.end());
    // The next module's first command in the same reading as the release.
    script.back().bytes.insert(script.back().bytes.end(), module.front().bytes.begin(),
                               module.front().bytes.end());
    script.insert(script.end(), module.begin() + 1, module.end());
    SimOptions options;
    options.modules = 2;
    options.speedCheck = false;  // one reading has one speed
    const LineRun run = Serve(options, script, true);
    EXPECT_EQ(run.violations, "");
    EXPECT_EQ(run.outcome.complete, 2U) << run.summaries;
}

using Action = ParsedCommandLine::Action;

TEST(SimProductionLine, ModulesAndTheFaultModuleAreParsedAndChecked) {
    const auto parsed =
        ParseCommandLine({"--modules", "3", "--fault-module=2", "--no-reply-page", "1"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    EXPECT_EQ(parsed.options.modules, 3U);
    EXPECT_EQ(parsed.options.faultModule, 2U);
    EXPECT_EQ(ParseCommandLine({}).options.modules, 1U);

    for (const auto& args :
         std::vector<std::vector<std::string_view>>{{"--modules", "0"},
                                                    {"--modules", "x"},
                                                    {"--fault-module", "0"},
                                                    {"--fault-module", "2"},  // only one module
                                                    {"--modules", "3", "--fault-module", "4"}}) {
        EXPECT_EQ(ParseCommandLine(args).action, Action::Error) << args.back();
    }
}

TEST(SimProductionLine, EachModuleWritesItsOwnNumberedImage) {
    EXPECT_EQ(ModuleImagePath("out/received.bin", 1, 1), "out/received.bin");
    EXPECT_EQ(ModuleImagePath("out/received.bin", 2, 3), "out/received-2.bin");
    EXPECT_EQ(ModuleImagePath("out.d/received", 12, 50), "out.d/received-12");
    EXPECT_EQ(ModuleImagePath("/tmp/.image", 1, 2), "/tmp/.image-1");
    EXPECT_EQ(ModuleImagePath("a.tar.gz", 3, 3), "a.tar-3.gz");
    EXPECT_EQ(ModuleImagePath("", 2, 3), "");
}

TEST(SimProductionLine, FaultsApplyToTheChosenModuleOnly) {
    SimOptions options;
    options.modules = 3;
    options.imagePath = "r.bin";
    options.faults.noReady = true;
    options.faults.retryPages[1] = 2;
    options.faultModule = 2;
    EXPECT_FALSE(OptionsForModule(options, 1).faults.noReady);
    EXPECT_TRUE(OptionsForModule(options, 1).faults.retryPages.empty());
    EXPECT_TRUE(OptionsForModule(options, 2).faults.noReady);
    EXPECT_EQ(OptionsForModule(options, 2).faults.retryPages.at(1), 2U);
    EXPECT_EQ(OptionsForModule(options, 3).imagePath, "r-3.bin");

    options.faultModule.reset();
    for (unsigned module = 1; module <= 3; ++module) {
        EXPECT_TRUE(OptionsForModule(options, module).faults.noReady) << module;
    }
}

}  // namespace
}  // namespace vorenta::sim
