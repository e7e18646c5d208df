#include "platform/fake/TimedSerialDevice.h"

#include <algorithm>
#include <array>

namespace vorenta {

namespace {
constexpr std::uint64_t kBitsPerByte = 10;  // start bit, 8 data bits, stop bit
constexpr std::uint64_t kUsPerSecond = 1000000;
constexpr std::uint64_t kUsPerMs = 1000;
// A linear congruential series: the jitter looks random but repeats exactly.
constexpr std::uint32_t kJitterMultiplier = 1664525;
constexpr std::uint32_t kJitterIncrement = 1013904223;
constexpr unsigned kJitterShift = 8;
}  // namespace

TimedSerialDevice::TimedSerialDevice(ITickSource& clock, WindowsTimerModel& model, InputWait wait,
                                     bool raisesTimerWhileOpen)
    : MemorySerialDevice(clock), model_(model), wait_(wait), raisesTimer_(raisesTimerWhileOpen) {}

bool TimedSerialDevice::Open(const std::string& devicePath) {
    if (!MemorySerialDevice::Open(devicePath)) {
        return false;
    }
    input_.clear();
    if (raisesTimer_ && !timerRaised_) {
        model_.BeginPeriod();
        timerRaised_ = true;
    }
    return true;
}

void TimedSerialDevice::Close() {
    MemorySerialDevice::Close();
    input_.clear();
    if (timerRaised_) {
        model_.EndPeriod();
        timerRaised_ = false;
    }
}

std::uint64_t TimedSerialDevice::ByteUs() const {
    return settings.BaudRate == 0 ? 0 : kBitsPerByte * kUsPerSecond / settings.BaudRate;
}

long TimedSerialDevice::Write(const std::uint8_t* data, std::size_t count) {
    if (!IsOpen()) {
        return MemorySerialDevice::Write(data, count);
    }
    const std::uint64_t start = model_.NowUs();
    model_.Advance(count * ByteUs());
    // The other end answers into the memory line's queue as the write ends.
    const long written = MemorySerialDevice::Write(data, count);
    const std::uint64_t end = model_.NowUs();
    sent.push_back(Sent{start, end, std::vector<std::uint8_t>(data, data + count)});

    std::uint64_t arrival = end + answerDelayUs;
    std::array<std::uint8_t, 64> chunk{};
    for (bool first = true;; first = false) {
        const long n = MemorySerialDevice::Read(chunk.data(), chunk.size());
        if (n <= 0) {
            break;
        }
        if (first && answerJitterUs > 0) {
            jitterState_ = jitterState_ * kJitterMultiplier + kJitterIncrement;
            arrival += (jitterState_ >> kJitterShift) % answerJitterUs;
        }
        for (long i = 0; i < n; ++i) {
            arrival += ByteUs();
            input_.push_back(Arriving{chunk[static_cast<std::size_t>(i)], arrival});
        }
    }
    return written;
}

std::size_t TimedSerialDevice::Arrived() const {
    const std::uint64_t now = model_.NowUs();
    return static_cast<std::size_t>(
        std::find_if(input_.begin(), input_.end(),
                     [now](const Arriving& a) { return a.arrivalUs > now; }) -
        input_.begin());
}

long TimedSerialDevice::BytesWaiting() {
    if (MemorySerialDevice::BytesWaiting() < 0) {
        return -1;
    }
    return static_cast<long>(Arrived());
}

long TimedSerialDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    if (MemorySerialDevice::BytesWaiting() < 0) {
        return -1;
    }
    const std::size_t n = std::min(maxCount, Arrived());
    for (std::size_t i = 0; i < n; ++i) {
        buffer[i] = input_.front().byte;
        taken.push_back(Taken{input_.front().byte, input_.front().arrivalUs, model_.NowUs()});
        input_.pop_front();
    }
    return static_cast<long>(n);
}

bool TimedSerialDevice::PurgeInput() {
    if (!MemorySerialDevice::PurgeInput()) {
        return false;
    }
    // What the driver holds goes; bytes still on the wire arrive later.
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(Arrived()));
    return true;
}

bool TimedSerialDevice::WaitForInput(std::uint32_t timeoutMs) {
    ++inputWaits;
    if (MemorySerialDevice::BytesWaiting() < 0) {
        return false;
    }
    if (Arrived() > 0 || timeoutMs == 0) {
        return true;
    }
    if (wait_ == InputWait::PollEveryMillisecond) {
        // Whole milliseconds on both readings: one more than asked makes sure
        // the whole time has passed.
        const std::uint64_t startMs = model_.NowUs() / kUsPerMs;
        while (Arrived() == 0 && model_.NowUs() / kUsPerMs - startMs <= timeoutMs) {
            model_.Sleep(1);
        }
        return true;
    }
    const std::uint64_t deadline = model_.NowUs() + std::uint64_t{timeoutMs} * kUsPerMs;
    if (!input_.empty() && input_.front().arrivalUs <= deadline) {
        model_.AdvanceTo(input_.front().arrivalUs);
    } else {
        model_.AdvanceTo(model_.NextInterrupt(deadline));
    }
    return true;
}

}  // namespace vorenta
