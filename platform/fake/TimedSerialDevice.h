#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/fake/MemorySerialDevice.h"
#include "platform/fake/WindowsTimerModel.h"

namespace vorenta {

// A serial line on the model of Windows' timers: a write returns when its
// last byte has left at the line's speed (the driver completes it on the
// UART's interrupt, not on the system timer); the other end's answer starts
// `answerDelayUs` later, plus up to `answerJitterUs` more (the same series of
// values on every run), and arrives byte by byte at line speed. Every byte
// sent and taken is written down in microseconds of the model.
class TimedSerialDevice : public MemorySerialDevice {
  public:
    enum class InputWait {
        // Looks at the driver's queue and sleeps 1 ms between looks.
        PollEveryMillisecond,
        // Sleeps in the driver, which wakes it when a byte arrives; a time
        // that runs out ends on the system timer.
        BlockInDriver,
    };

    struct Sent {
        std::uint64_t startUs = 0;
        std::uint64_t endUs = 0;
        std::vector<std::uint8_t> bytes;
    };
    struct Taken {
        std::uint8_t byte = 0;
        std::uint64_t arrivalUs = 0;
        std::uint64_t takenUs = 0;
    };

    // `clock` stamps the records of the memory line; `model` keeps the time.
    TimedSerialDevice(ITickSource& clock, WindowsTimerModel& model, InputWait wait,
                      bool raisesTimerWhileOpen);

    bool Open(const std::string& devicePath) override;
    void Close() override;
    long Write(const std::uint8_t* data, std::size_t count) override;
    long BytesWaiting() override;
    long Read(std::uint8_t* buffer, std::size_t maxCount) override;
    bool WaitForInput(std::uint32_t timeoutMs) override;
    bool PurgeInput() override;

    std::uint64_t answerDelayUs = 0;
    std::uint64_t answerJitterUs = 0;
    std::vector<Sent> sent;
    std::vector<Taken> taken;

  private:
    struct Arriving {
        std::uint8_t byte;
        std::uint64_t arrivalUs;
    };
    std::uint64_t ByteUs() const;
    std::size_t Arrived() const;

    WindowsTimerModel& model_;
    InputWait wait_;
    bool raisesTimer_;
    bool timerRaised_ = false;
    std::deque<Arriving> input_;
    std::uint32_t jitterState_ = 12345;
};

}  // namespace vorenta
