// The simulator's session driven in memory by the updater's own port object and
// base preparation: every byte it sees is one the updater would write.
#include "tools/vorenta-sim/Session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "TransferDriver.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/MemorySerialDevice.h"
#include "serial/CRS232.h"
#include "serial/StaticPortTable.h"
#include "tests/support/TempFolder.h"
#include "update/BasePreparation.h"

namespace vorenta::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::TransferDriver;

constexpr std::uint8_t kReady = '!';
constexpr std::uint8_t kRetry = '@';

struct MemoryRig {
    explicit MemoryRig(SimOptions simOptions = {}) : options(std::move(simOptions)) {
        session = std::make_unique<Session>(options, log);
        device.onWrite = [this](MemorySerialDevice& line, const Bytes& bytes) {
            std::vector<ModuleReply> replies;
            session->Receive(bytes, line.settings.BaudRate, clock.Now(), replies);
            for (const ModuleReply& reply : replies) {
                line.Feed(reply.bytes);
                session->ReplySent(reply);
                closeAfter = closeAfter || reply.closeLineAfter;
            }
        };
        EXPECT_EQ(port.Open(1, 38400, 'N', 8, 1), 1);
    }

    // Preparation, poll and identification; returns what came after the identification.
    Bytes Start() {
        PrepareBaseStation(port, clock);
        EXPECT_EQ(driver.PollForAnswer(5, 500), 3);
        driver.SendIdentification();
        return driver.Collect(SIZE_MAX, 100);
    }

    // Pages of `image` in order; returns each page's replies until one is not '@'.
    std::vector<Bytes> SendAll(const Bytes& image) {
        std::vector<Bytes> replies;
        for (std::uint32_t page = 0; std::size_t{page} * 256 < image.size(); ++page) {
            const std::span<const std::uint8_t> data(image.data() + std::size_t{page} * 256, 256);
            Bytes got;
            do {
                driver.SendPage(page, data);
                const auto reply = driver.ReplyWithin(3000);
                if (!reply) {
                    break;
                }
                got.push_back(*reply);
            } while (got.back() == kRetry && got.size() < 5);
            replies.push_back(got);
        }
        return replies;
    }

    void Finish() {
        driver.SendEndMarker();
        ReleaseBase(port, clock);
    }

    std::vector<std::string> LogLines(const std::string& kind) const {
        std::vector<std::string> lines;
        std::istringstream in(logText.str());
        for (std::string line; std::getline(in, line);) {
            if (line.find("\"kind\":\"" + kind + "\"") != std::string::npos) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    SimOptions options;
    std::ostringstream logText;
    WireLog log{&logText};
    std::unique_ptr<Session> session;
    FakeClock clock;
    MemorySerialDevice device{clock};
    StaticPortTable ports{{{1, "/dev/sim"}}};
    CRS232 port{device, ports, clock};
    TransferDriver driver{port, clock};
    bool closeAfter = false;
};

Bytes Id(std::string_view text) {
    return test::Bytes(text);
}

// The image file the simulator writes, in a folder of the test's own.
class TempFile {
  public:
    std::filesystem::path Path() const { return folder_ / "image.bin"; }
    Bytes Read() const {
        const std::string text = ReadFile(Path());
        return Bytes(text.begin(), text.end());
    }

  private:
    TempFolder folder_;
};

TEST(SimSession, AWholeUpdateWritesTheImageAndCountsAsComplete) {
    TempFile image;
    SimOptions options;
    options.imagePath = image.Path().string();
    MemoryRig rig(options);
    EXPECT_EQ(rig.Start(), Id("VR-VMM-KT76\r!"));
    const Bytes pages = test::TestImage(3);
    for (const Bytes& replies : rig.SendAll(pages)) {
        EXPECT_EQ(replies, Bytes{kReady});
    }
    EXPECT_FALSE(rig.session->Complete());
    rig.Finish();

    EXPECT_TRUE(rig.session->Complete()) << rig.logText.str();
    EXPECT_EQ(rig.session->Violations(), 0U);
    EXPECT_EQ(image.Read(), pages);
    EXPECT_NE(rig.session->Summary(Ending::Released).find("complete update"), std::string::npos);
}

TEST(SimSession, TheWireLogHoldsThePreparationAtItsSpeeds) {
    MemoryRig rig;
    rig.Start();
    const auto commands = rig.LogLines("command");
    ASSERT_EQ(commands.size(), 4U);
    const std::regex field(R"re("speed":(\d+),"kind":"command","what":"([^"]*)")re");
    const std::vector<std::pair<std::string, std::string>> expected{
        {"9600", "<<$:U9"}, {"19200", "<<$:U9"}, {"38400", "<\\\\r"}, {"38400", "<<RS<#C14"}};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        std::smatch match;
        ASSERT_TRUE(std::regex_search(commands[i], match, field)) << commands[i];
        EXPECT_EQ(match[1], expected[i].first);
        EXPECT_EQ(match[2], expected[i].second);
    }
    EXPECT_EQ(rig.session->Violations(), 0U);
}

TEST(SimSession, FlagsPreparationAtTheWrongSpeedOrInTheWrongOrder) {
    MemoryRig rig;
    rig.port.WriteString("<<$:U9");  // still at 38400
    rig.port.SetLineSettings(19200, 'N', '8');
    rig.port.WriteString("<\r");  // skips the second speed command, and at the wrong speed
    EXPECT_EQ(rig.session->Violations(), 3U);
    const auto violations = rig.session->TakeNewViolations();
    ASSERT_EQ(violations.size(), 3U);
    EXPECT_NE(violations[0].find("at 38400 bit/s, expected 9600"), std::string::npos);
    EXPECT_NE(violations[1].find("out of order"), std::string::npos);
    EXPECT_NE(violations[2].find("at 19200 bit/s, expected 38400"), std::string::npos);
}

TEST(SimSession, AnswersOnlyTheChosenPollAndNeverWhenTold) {
    SimOptions options;
    options.answerPoll = 1;
    MemoryRig first(options);
    PrepareBaseStation(first.port, first.clock);
    EXPECT_EQ(first.driver.PollForAnswer(5, 500), 1);

    options.faults.neverAnswer = true;
    MemoryRig never(options);
    PrepareBaseStation(never.port, never.clock);
    EXPECT_EQ(never.driver.PollForAnswer(6, 500), 0);
}

TEST(SimSession, NoiseComesBeforeTheAnswerAndHoldsNoAnswerByte) {
    SimOptions options;
    options.skipPreparation = true;
    options.answerPoll = 1;
    options.faults.noiseBytes = 300;
    MemoryRig rig(options);
    rig.driver.SendData({0xC0});
    const Bytes got = rig.driver.Collect(SIZE_MAX, 2000);
    ASSERT_EQ(got.size(), 301U);
    EXPECT_EQ(got.back(), 0xD0);
    EXPECT_EQ(std::count(got.begin(), got.end(), 0xD0), 1);
}

struct IdentificationFault {
    const char* name;
    void (*set)(Faults&);
    const char* reply;
};

TEST(SimSession, EachIdentificationFaultGivesItsReply) {
    const std::vector<IdentificationFault> cases{
        {"wrong", [](Faults& f) { f.idWrong = true; }, "VR-VMM-KT75\r!"},
        {"lower case", [](Faults& f) { f.idLowerCase = true; }, "vr-vmm-kt76\r!"},
        {"too long", [](Faults& f) { f.idTooLong = true; }, "VR-VMM-KT766\r!"},
        {"too short", [](Faults& f) { f.idTooShort = true; }, "VR-VMM-KT7\r!"},
        {"CR LF", [](Faults& f) { f.idCrLf = true; }, "VR-VMM-KT76\r\n!"},
        {"no CR", [](Faults& f) { f.noCr = true; }, "VR-VMM-KT76!"},
        {"never sent", [](Faults& f) { f.noId = true; }, ""},
        {"no ready", [](Faults& f) { f.noReady = true; }, "VR-VMM-KT76\r"},
        {"wrong ready", [](Faults& f) { f.readyByte = '?'; }, "VR-VMM-KT76\r?"},
        {"lower case without CR", [](Faults& f) { f.idLowerCase = f.noCr = true; }, "vr-vmm-kt76!"},
    };
    for (const IdentificationFault& fault : cases) {
        SCOPED_TRACE(fault.name);
        SimOptions options;
        fault.set(options.faults);
        MemoryRig rig(options);
        EXPECT_EQ(rig.Start(), Id(fault.reply));
        EXPECT_GE(rig.session->module().Counters().faultsInjected, 1U);
    }
}

TEST(SimSession, RetriesAPageAsOftenAsToldThenTakesIt) {
    TempFile image;
    SimOptions options;
    options.imagePath = image.Path().string();
    options.faults.retryPages[1] = 4;
    MemoryRig rig(options);
    rig.Start();
    const Bytes pages = test::TestImage(3);
    const auto replies = rig.SendAll(pages);
    EXPECT_EQ(replies[0], Bytes{kReady});
    EXPECT_EQ(replies[1], (Bytes{kRetry, kRetry, kRetry, kRetry, kReady}));
    EXPECT_EQ(replies[2], Bytes{kReady});
    rig.Finish();
    EXPECT_TRUE(rig.session->Complete());
    EXPECT_EQ(image.Read(), pages);
    EXPECT_EQ(rig.session->module().Counters().retries, 4U);
    EXPECT_EQ(rig.session->module().Counters().pageSends, 7U);
}

TEST(SimSession, PageFaultsGiveNoReplyOrAStrangeOneAndCloseTheLine) {
    SimOptions options;
    options.faults.silentPages.insert(2);
    options.faults.badReplyPages[1] = 0x3F;
    options.faults.closeAfterPage = 0;
    MemoryRig rig(options);
    rig.Start();
    const Bytes pages = test::TestImage(3);
    rig.driver.SendPage(0, std::span(pages).first(256));
    EXPECT_EQ(rig.driver.ReplyWithin(100), kReady);
    EXPECT_TRUE(rig.closeAfter);
    rig.driver.SendPage(1, std::span(pages).subspan(256, 256));
    EXPECT_EQ(rig.driver.ReplyWithin(100), 0x3F);
    rig.driver.SendPage(1, std::span(pages).subspan(256, 256));
    EXPECT_EQ(rig.driver.ReplyWithin(100), 0x3F);
    // Page 1 was never taken, so the next page the module waits for is still 1.
    rig.driver.SendPage(2, std::span(pages).subspan(512, 256));
    EXPECT_EQ(rig.driver.ReplyWithin(100), 0x3F);
    EXPECT_EQ(rig.session->module().PagesAccepted(), 1U);
    EXPECT_EQ(rig.session->module().Counters().faultsInjected, 4U);
}

TEST(SimSession, ADoubledAcceptanceCountsOnceAndOnlySentAcceptancesCount) {
    SimOptions options;
    options.faults.doubleReplyPages.insert(1);
    MemoryRig rig(options);
    rig.Start();
    const Bytes pages = test::TestImage(3);
    rig.driver.SendPage(0, std::span(pages).first(256));
    EXPECT_EQ(rig.driver.Collect(2, 100), Bytes{kReady});
    rig.driver.SendPage(1, std::span(pages).subspan(256, 256));
    EXPECT_EQ(rig.driver.Collect(3, 100), (Bytes{kReady, kReady}));
    EXPECT_EQ(rig.session->PagesAcknowledged(), 2U);
    EXPECT_EQ(rig.session->module().Counters().faultsInjected, 1U);

    // The module takes page 2, but its '!' never reaches the line.
    rig.device.onWrite = [&rig](MemorySerialDevice& line, const Bytes& bytes) {
        std::vector<ModuleReply> replies;
        rig.session->Receive(bytes, line.settings.BaudRate, rig.clock.Now(), replies);
    };
    rig.driver.SendPage(2, std::span(pages).subspan(512, 256));
    EXPECT_EQ(rig.session->module().PagesAccepted(), 3U);
    EXPECT_NE(rig.session->Summary(Ending::LineClosed).find("pages received: 2 accepted, 3 sends"),
              std::string::npos)
        << rig.session->Summary(Ending::LineClosed);
}

TEST(SimSession, ASilentPageGetsNoReplyAtAll) {
    SimOptions options;
    options.faults.silentPages.insert(0);
    MemoryRig rig(options);
    rig.Start();
    rig.driver.SendPage(0, test::TestImage(1));
    EXPECT_EQ(rig.driver.ReplyWithin(3000), std::nullopt);
}

TEST(SimSession, AWrongChecksumOrAddressAsksForThePageAgain) {
    MemoryRig rig;
    rig.Start();
    const Bytes page = test::TestImage(1);
    rig.driver.SendPage(0, page, static_cast<std::uint8_t>(TransferDriver::Checksum(page) + 1));
    EXPECT_EQ(rig.driver.ReplyWithin(100), kRetry);
    rig.driver.SendPage(0, page, std::nullopt, 256);
    EXPECT_EQ(rig.driver.ReplyWithin(100), kRetry);
    rig.driver.SendPage(0, page);
    EXPECT_EQ(rig.driver.ReplyWithin(100), kReady);
    // Page 0 again is out of sequence now.
    rig.driver.SendPage(0, page);
    EXPECT_EQ(rig.driver.ReplyWithin(100), kRetry);
    EXPECT_EQ(rig.session->Violations(), 3U);
    EXPECT_EQ(rig.session->module().PagesAccepted(), 1U);
    rig.Finish();
    EXPECT_FALSE(rig.session->Complete());
}

TEST(SimSession, APageOfAnyFramingCountsTheSame) {
    MemoryRig rig;
    rig.Start();
    const Bytes page = test::TestImage(1);
    // Address, data and checksum in one stream cut into frames of 5 bytes.
    Bytes stream = {0, 0, 0, 0};
    stream.insert(stream.end(), page.begin(), page.end());
    stream.push_back(TransferDriver::Checksum(page));
    for (std::size_t at = 0; at < stream.size(); at += 5) {
        const std::size_t take = std::min<std::size_t>(5, stream.size() - at);
        rig.port.SendPacket(stream.data() + at, static_cast<int>(take));
    }
    EXPECT_EQ(rig.driver.ReplyWithin(100), kReady);
}

TEST(SimSession, PagesBeyondTheModuleMemoryStopTheModule) {
    SimOptions options;
    options.maxPages = 2;
    MemoryRig rig(options);
    rig.Start();
    const auto replies = rig.SendAll(test::TestImage(3));
    ASSERT_EQ(replies.size(), 3U);
    EXPECT_EQ(replies[1], Bytes{kReady});
    EXPECT_TRUE(replies[2].empty());
    EXPECT_GE(rig.session->Violations(), 1U);
}

TEST(SimSession, AnythingAfterTheEndMarkerOrTheReleaseIsAViolation) {
    MemoryRig rig;
    rig.Start();
    rig.SendAll(test::TestImage(1));
    rig.driver.SendEndMarker();
    EXPECT_EQ(rig.session->Violations(), 0U);
    rig.driver.SendData({0x00});
    EXPECT_EQ(rig.session->Violations(), 1U);
    ReleaseBase(rig.port, rig.clock);
    rig.driver.SendData({0xC0});
    EXPECT_EQ(rig.session->Violations(), 2U);
    EXPECT_FALSE(rig.session->Complete());
}

TEST(SimSession, AReleaseBeforeTheEndMarkerLeavesTheUpdateIncomplete) {
    MemoryRig rig;
    rig.Start();
    ReleaseBase(rig.port, rig.clock);
    EXPECT_TRUE(rig.session->Released());
    EXPECT_FALSE(rig.session->Complete());
    EXPECT_NE(rig.session->Summary(Ending::Released).find("no end marker"), std::string::npos);
}

TEST(SimSession, AnImageThatCannotBeWrittenIsReported) {
    SimOptions options;
    options.imagePath = "/nonexistent-folder/image.bin";
    MemoryRig rig(options);
    rig.Start();
    rig.SendAll(test::TestImage(1));
    rig.Finish();
    EXPECT_FALSE(rig.session->Complete());
    EXPECT_NE(rig.session->Summary(Ending::Released).find("cannot write the image"),
              std::string::npos);
}

}  // namespace
}  // namespace vorenta::sim
