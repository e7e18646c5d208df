#include "platform/fake/MemorySerialDevice.h"

#include <algorithm>

namespace vorenta {

namespace {
constexpr std::uint64_t kBitsPerByte = 10;  // start bit, 8 data bits, stop bit
// Input only appears when the test feeds it, possibly as the clock is read, so a
// wait for input moves the clock in small steps.
constexpr std::uint32_t kInputWaitStepMs = 1;

std::uint32_t WireMs(std::size_t count, std::uint32_t bitsPerSecond) {
    if (bitsPerSecond == 0) {
        return 0;
    }
    const std::uint64_t bits = count * kBitsPerByte * 1000U;
    return static_cast<std::uint32_t>((bits + bitsPerSecond - 1) / bitsPerSecond);
}
}  // namespace

void MemorySerialDevice::Record(EventKind kind, bool raised, bool ok) {
    events.push_back(Event{kind, clock_.GetTickCount(), settings, raised, ok});
}

bool MemorySerialDevice::Open(const std::string& devicePath) {
    openAttempts.push_back(devicePath);
    if (open_ || failOpen || busy) {
        Record(EventKind::Open, false, false);
        return false;
    }
    open_ = true;
    vanished_ = false;
    openPath = devicePath;
    input_.clear();
    Record(EventKind::Open);
    return true;
}

void MemorySerialDevice::Close() {
    if (!open_) {
        return;
    }
    open_ = false;
    vanished_ = false;
    dtr = false;
    rts = false;
    input_.clear();
    Record(EventKind::Close);
}

bool MemorySerialDevice::ApplySettings(const Dcb& dcb) {
    if (!Usable()) {
        Record(EventKind::Settings, false, false);
        return false;
    }
    settings = dcb;
    Record(EventKind::Settings);
    return true;
}

bool MemorySerialDevice::SetDtr(bool raised) {
    const bool ok = Usable();
    if (ok) {
        dtr = raised;
    }
    Record(EventKind::Dtr, raised, ok);
    return ok;
}

bool MemorySerialDevice::SetRts(bool raised) {
    const bool ok = Usable();
    if (ok) {
        rts = raised;
    }
    Record(EventKind::Rts, raised, ok);
    return ok;
}

long MemorySerialDevice::Write(const std::uint8_t* data, std::size_t count) {
    if (!Usable()) {
        Record(EventKind::Write, false, false);
        return -1;
    }
    std::vector<std::uint8_t> bytes(data, data + count);
    if (refuseWrite && refuseWrite(bytes)) {
        Record(EventKind::Write, false, false);
        return -1;
    }
    const std::uint32_t tick = clock_.GetTickCount();
    std::uint32_t endTick = tick;
    if (sendsAtLineSpeed) {
        const std::uint32_t wireMs = WireMs(count, settings.BaudRate);
        clock_.Sleep(wireMs);
        endTick = tick + wireMs;
    }
    writes.push_back(WriteRecord{tick, endTick, bytes, settings});
    events.push_back(Event{EventKind::Write, tick, settings, false, true});
    if (onWrite) {
        onWrite(*this, bytes);
    }
    return static_cast<long>(count);
}

long MemorySerialDevice::BytesWaiting() {
    ++bytesWaitingCalls;
    if (!Usable()) {
        return -1;
    }
    return static_cast<long>(input_.size());
}

long MemorySerialDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    ++readCalls;
    if (!Usable()) {
        return -1;
    }
    const std::size_t n = std::min(maxCount, input_.size());
    std::copy_n(input_.begin(), n, buffer);
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<long>(n);
}

bool MemorySerialDevice::WaitForInput(std::uint32_t timeoutMs) {
    ++inputWaits;
    if (!Usable()) {
        return false;
    }
    if (input_.empty() && timeoutMs > 0) {
        clock_.Sleep(kInputWaitStepMs);
    }
    return true;
}

bool MemorySerialDevice::PurgeOutput() {
    const bool ok = Usable();
    if (ok) {
        ++outputPurges;
    }
    Record(EventKind::PurgeOutput, false, ok);
    return ok;
}

bool MemorySerialDevice::PurgeInput() {
    const bool ok = Usable();
    if (ok) {
        ++inputPurges;
        input_.clear();
    }
    Record(EventKind::PurgeInput, false, ok);
    return ok;
}

void MemorySerialDevice::Feed(const std::vector<std::uint8_t>& bytes) {
    input_.insert(input_.end(), bytes.begin(), bytes.end());
}

void MemorySerialDevice::Feed(std::string_view text) {
    input_.insert(input_.end(), text.begin(), text.end());
}

void MemorySerialDevice::Vanish() {
    vanished_ = true;
    input_.clear();
}

std::vector<std::uint8_t> MemorySerialDevice::AllWritten() const {
    std::vector<std::uint8_t> all;
    for (const auto& w : writes) {
        all.insert(all.end(), w.bytes.begin(), w.bytes.end());
    }
    return all;
}

std::size_t MemorySerialDevice::CountEvents(EventKind kind) const {
    return static_cast<std::size_t>(std::count_if(
        events.begin(), events.end(), [kind](const Event& e) { return e.kind == kind; }));
}

}  // namespace vorenta
