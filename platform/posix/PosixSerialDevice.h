#pragma once

#include <optional>
#include <string>

#include "platform/SerialDevice.h"

namespace vorenta {

// The driver's low-latency mode on an open line (Linux serial drivers through
// TIOCGSERIAL and TIOCSSERIAL). A seam of its own: a pty has no such mode.
class ILowLatencyMode {
  public:
    virtual ~ILowLatencyMode() = default;
    // On or off as the driver has it now; nullopt when the driver has no such mode.
    virtual std::optional<bool> Get(int fd) = 0;
    // False when the driver refuses.
    virtual bool Set(int fd, bool on) = 0;
};

// The driver's own mode, through the system.
ILowLatencyMode& DriverLowLatencyMode();

// A serial line through termios: exclusive, raw 8-bit, no flow control, reads
// that never wait, writes that return once the bytes have left the line and
// give up when the device goes away.
class PosixSerialDevice : public ISerialDevice {
  public:
    explicit PosixSerialDevice(ILowLatencyMode& lowLatency = DriverLowLatencyMode())
        : lowLatency_(lowLatency) {}
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    bool Open(const std::string& devicePath) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    bool ApplySettings(const Dcb& dcb) override;
    bool SetDtr(bool raised) override;
    bool SetRts(bool raised) override;
    long Write(const std::uint8_t* data, std::size_t count) override;
    long BytesWaiting() override;
    long Read(std::uint8_t* buffer, std::size_t maxCount) override;
    bool WaitForInput(std::uint32_t timeoutMs) override;
    bool PurgeOutput() override;
    bool PurgeInput() override;

    // Why the last request failed, in words for the operator ("" after success).
    const std::string& LastError() const { return lastError_; }

    // A line that takes or sends no byte at all for this long is treated as
    // gone, so a stuck peer cannot freeze the caller for ever.
    static constexpr int kDefaultWriteStallLimitMs = 10000;
    void SetWriteStallLimit(int ms) { writeStallLimitMs_ = ms; }

  private:
    bool Fail(const std::string& what, int error);
    bool SetModemLine(int line, bool raised);
    // Asks for low latency on open; gives the mode back as it was at close.
    void AskForLowLatency();
    void RestoreLowLatency();
    // Waits until the driver's queue is empty and the last byte is out.
    bool Drain();

    ILowLatencyMode& lowLatency_;
    int fd_ = -1;
    // This device switched the mode on, so the next user of the port finds it as it was.
    bool lowLatencyToRestore_ = false;
    int writeStallLimitMs_ = kDefaultWriteStallLimitMs;
    // Bits per second in force, to size the sleeps while the output queue drains.
    std::uint32_t bitsPerSecond_ = 9600;
    std::string lastError_;
};

}  // namespace vorenta
