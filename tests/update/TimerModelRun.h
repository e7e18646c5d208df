#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/fake/TimedSerialDevice.h"
#include "platform/fake/WindowsTimerModel.h"

namespace vorenta::test {

// How one update waits, on the model of Windows' timers.
struct TimerModelSetup {
    WindowsTickModel::Clock clock = WindowsTickModel::Clock::SystemCalls;
    TimedSerialDevice::InputWait inputWait = TimedSerialDevice::InputWait::PollEveryMillisecond;
    bool raisesTimerWhileOpen = false;
    bool highResolutionTimer = false;
    // 0: a PC whose timer interrupts every 15.625 ms unless raised; anything
    // else stands for a timer that ends every wait exactly (the line's own time).
    std::uint64_t timerPeriodUs = 0;
    // From the last byte of a send until the module's answer starts, plus up
    // to the jitter more.
    std::uint64_t answerDelayUs = 0;
    std::uint64_t answerJitterUs = 0;
    std::size_t firmwareBytes = 600;
    // The module answers no page after the first: the session ends on its time-out.
    bool silentAfterFirstPage = false;
};

// What one whole update (Begin Update to its outcome) did on the model.
struct TimerModelResult {
    bool succeeded = false;
    std::size_t pages = 0;
    std::uint64_t sessionUs = 0;
    // The pure pauses of every page as seen on the wire: from taking the last
    // reply to the address, from the address to the data, from the data to
    // the checksum.
    std::vector<std::uint64_t> pausesUs;
    // For every reply to a page: from its arrival at the PC until it was taken.
    std::vector<std::uint64_t> replyDelaysUs;
    // For every page: from the end of its checksum until its reply was taken
    // (the fourth pause, or the module's answer if that comes later).
    std::vector<std::uint64_t> checksumToReplyUs;
    // Requests for a raised timer still in force after the session ended.
    int periodRequestsLeft = 0;
    // The most that were in force at once while the session ran.
    int periodRequestsDuring = 0;
};

TimerModelResult RunUpdateOnTimerModel(const TimerModelSetup& setup);

}  // namespace vorenta::test
