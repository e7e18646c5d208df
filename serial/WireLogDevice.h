#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileAccess.h"
#include "platform/SerialDevice.h"
#include "platform/TickSource.h"

namespace vorenta {

// Where a wire trace goes: one event at a time, the kind ("TX", "RX", "LINE",
// "MODEM", "PURGE", "OPEN", "CLOSE") and its detail.
class IWireTrace {
  public:
    virtual ~IWireTrace() = default;
    virtual void Trace(std::string_view what, std::string_view detail) = 0;
};

// One line of a wire log: "      1234 ms TX    3C 57".
std::string WireLogLine(std::uint32_t ms, std::string_view what, std::string_view detail);

// Passes everything to the real device and traces every byte sent and
// received, every line setting, modem line, purge, open and close.
class WireLogDevice : public ISerialDevice {
  public:
    WireLogDevice(ISerialDevice& inner, IWireTrace& trace);
    // Writes the trace to `log`, stamped in milliseconds from now.
    WireLogDevice(ISerialDevice& inner, ITickSource& clock, IFile& log);
    ~WireLogDevice() override;

    // Every line reached the log file so far (always so for a caller's trace).
    bool Complete() const;

    bool Open(const std::string& devicePath) override;
    void Close() override;
    bool IsOpen() const override { return inner_.IsOpen(); }
    bool ApplySettings(const Dcb& dcb) override;
    bool SetDtr(bool raised) override;
    bool SetRts(bool raised) override;
    long Write(const std::uint8_t* data, std::size_t count) override;
    long BytesWaiting() override { return inner_.BytesWaiting(); }
    long Read(std::uint8_t* buffer, std::size_t maxCount) override;
    // The device's own wait, so a reply is still taken as it arrives; a wait
    // is no event on the wire.
    bool WaitForInput(std::uint32_t timeoutMs) override { return inner_.WaitForInput(timeoutMs); }
    bool PurgeOutput() override;
    bool PurgeInput() override;

    // A message the operator was shown, one log line per line of text.
    void Note(std::string_view text);

  private:
    class FileTrace;

    ISerialDevice& inner_;
    std::unique_ptr<FileTrace> ownTrace_;
    IWireTrace& trace_;
};

}  // namespace vorenta
