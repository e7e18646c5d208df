#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SerialDevice.h"
#include "platform/TickSource.h"

namespace vorenta {

// A serial line in memory: records everything the port object does to it, with
// the tick time and the line settings in force, and plays back scripted input.
// It can also send at its set speed, as a real line does: a write then returns
// only after its bytes' time on the wire has passed on the clock.
class MemorySerialDevice : public ISerialDevice {
  public:
    struct WriteRecord {
        std::uint32_t tick = 0;     // the first bit goes out
        std::uint32_t endTick = 0;  // the last bit is out and the write returns
        std::vector<std::uint8_t> bytes;
        Dcb settings;
    };

    enum class EventKind { Open, Close, Settings, Dtr, Rts, PurgeInput, PurgeOutput, Write };

    struct Event {
        EventKind kind = EventKind::Open;
        std::uint32_t tick = 0;
        Dcb settings;         // in force after the event
        bool raised = false;  // Dtr and Rts events
        bool ok = true;       // false when the device refused the request
    };

    explicit MemorySerialDevice(ITickSource& clock) : clock_(clock) {}

    bool Open(const std::string& devicePath) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool ApplySettings(const Dcb& dcb) override;
    bool SetDtr(bool raised) override;
    bool SetRts(bool raised) override;
    long Write(const std::uint8_t* data, std::size_t count) override;
    long BytesWaiting() override;
    long Read(std::uint8_t* buffer, std::size_t maxCount) override;
    bool WaitForInput(std::uint32_t timeoutMs) override;
    bool PurgeOutput() override;
    bool PurgeInput() override;

    // Scripted input: bytes the other end of the line has sent.
    void Feed(const std::vector<std::uint8_t>& bytes);
    void Feed(std::string_view text);
    std::size_t Pending() const { return input_.size(); }

    // The line goes away while open (adapter pulled): every request fails, Close still works.
    void Vanish();

    // Every byte written, in order, joined.
    std::vector<std::uint8_t> AllWritten() const;
    std::size_t CountEvents(EventKind kind) const;

    // Open fails as for an absent device, or as for one another program holds.
    bool failOpen = false;
    bool busy = false;
    // Called after each write is recorded, so a test peer can answer with Feed.
    std::function<void(MemorySerialDevice&, const std::vector<std::uint8_t>&)> onWrite;
    // A write these bytes make true fails as on a broken line: nothing is sent.
    std::function<bool(const std::vector<std::uint8_t>&)> refuseWrite;
    // Writes take 10 bits a byte at the speed of the last line settings.
    bool sendsAtLineSpeed = false;

    std::vector<std::string> openAttempts;
    std::string openPath;
    std::vector<WriteRecord> writes;
    std::vector<Event> events;
    Dcb settings{};
    bool dtr = false;
    bool rts = false;
    int inputPurges = 0;
    int outputPurges = 0;
    // Read requests that reached the device, so tests can tell "never touched".
    int readCalls = 0;
    int bytesWaitingCalls = 0;
    int inputWaits = 0;

  private:
    void Record(EventKind kind, bool raised = false, bool ok = true);
    bool Usable() const { return open_ && !vanished_; }

    ITickSource& clock_;
    std::deque<std::uint8_t> input_;
    bool open_ = false;
    bool vanished_ = false;
};

}  // namespace vorenta
