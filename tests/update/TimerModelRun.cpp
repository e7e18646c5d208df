#include "TimerModelRun.h"

#include <algorithm>
#include <string>

#include "UpdateRig.h"
#include "serial/WireLogDevice.h"

namespace vorenta::test {

namespace {

constexpr std::uint64_t kTimerTickUs = 500000;  // the window's 500 ms timer
constexpr int kTimerTickLimit = 100;
constexpr std::size_t kFrameHead = 20;
constexpr std::size_t kAddressBytes = 4;
const std::string kTargetIdentification = "KT76-MM-VMM-232-1.0";

// The data a packet frame carries; empty for a raw command.
std::vector<std::uint8_t> FrameData(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < kFrameHead + 3 || bytes[0] != '<' || bytes[3] != 'P') {
        return {};
    }
    const std::size_t count = std::min<std::size_t>(bytes[19], bytes.size() - kFrameHead);
    return {bytes.begin() + kFrameHead, bytes.begin() + static_cast<long>(kFrameHead + count)};
}

// Finds the pauses around each page in what went out and what came back.
void MeasurePages(const TimedSerialDevice& line, TimerModelResult& result) {
    const auto& sent = line.sent;
    const auto identification =
        std::find_if(sent.begin(), sent.end(), [](const TimedSerialDevice::Sent& s) {
            const auto data = FrameData(s.bytes);
            return std::string(data.begin(), data.end()) == kTargetIdentification;
        });
    if (identification == sent.end()) {
        return;
    }
    // Replies ('!' or '@') in the order they were taken; the first is the ready byte.
    std::vector<TimedSerialDevice::Taken> replies;
    for (const auto& t : line.taken) {
        if (t.byte == '!' || t.byte == '@') {
            replies.push_back(t);
        }
    }
    std::size_t reply = 0;
    for (auto it = identification + 1; it != sent.end(); ++it) {
        if (FrameData(it->bytes).size() != kAddressBytes || it + 1 == sent.end()) {
            continue;
        }
        const auto data = it + 1;
        auto checksum = data;
        while (checksum + 1 != sent.end() && FrameData((checksum + 1)->bytes).size() > 1) {
            ++checksum;
        }
        ++checksum;
        if (checksum == sent.end() || FrameData(checksum->bytes).size() != 1) {
            break;  // the end marker, which carries four bytes too
        }
        if (reply < replies.size()) {
            result.pausesUs.push_back(it->startUs - replies[reply].takenUs);
        }
        result.pausesUs.push_back(data->startUs - it->endUs);
        result.pausesUs.push_back(checksum->startUs - (checksum - 1)->endUs);
        ++reply;
        if (reply < replies.size()) {
            result.replyDelaysUs.push_back(replies[reply].takenUs - replies[reply].arrivalUs);
            result.checksumToReplyUs.push_back(replies[reply].takenUs - checksum->endUs);
        }
        ++result.pages;
        it = checksum;
    }
}

class NoTrace : public IWireTrace {
  public:
    void Trace(std::string_view, std::string_view) override {}
};

}  // namespace

TimerModelResult RunUpdateOnTimerModel(const TimerModelSetup& setup) {
    WindowsTimerModel model(1000000);
    if (setup.timerPeriodUs != 0) {
        model.defaultPeriodUs = setup.timerPeriodUs;
        model.raisedPeriodUs = setup.timerPeriodUs;
    }
    model.hasHighResolutionTimer = setup.highResolutionTimer;
    WindowsTickModel clock(model, setup.clock);
    TimedSerialDevice line(clock, model, setup.inputWait, setup.raisesTimerWhileOpen);
    line.answerDelayUs = setup.answerDelayUs;
    line.answerJitterUs = setup.answerJitterUs;

    // As in the programs, where every session's log traces the line.
    NoTrace trace;
    WireLogDevice traced(line, trace);
    UpdateRig rig(setup.firmwareBytes, UpdateRig::Parts{&clock, &line, &traced});
    if (setup.silentAfterFirstPage) {
        rig.module.pageReply = [](std::size_t page, int) {
            return page == 0 ? std::optional<std::uint8_t>('!') : std::nullopt;
        };
    }
    rig.Init();
    TimerModelResult result;
    const std::uint64_t start = model.NowUs();
    if (!rig.BeginUpdate()) {
        return result;
    }
    for (int ticks = 0; rig.dlg.session.updateActive != 0 && ticks < kTimerTickLimit; ++ticks) {
        result.periodRequestsDuring = std::max(result.periodRequestsDuring, model.PeriodRequests());
        model.Advance(kTimerTickUs);
        rig.host.TimerTick();
    }
    result.sessionUs = model.NowUs() - start;
    result.succeeded =
        rig.LastBox() != nullptr && rig.LastBox()->caption == "Firmware Update Complete";
    result.periodRequestsLeft = model.PeriodRequests();
    MeasurePages(line, result);
    return result;
}

}  // namespace vorenta::test
