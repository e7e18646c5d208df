#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/SerialDevice.h"

namespace vorenta {

struct CommApi;

// A COM port through the Win32 communications calls: opened for exclusive use
// (share mode 0), driver queues of 32768 bytes, reads that return at once with
// what the driver holds, writes that return when the driver has completed them.
// A wait for input sleeps in the driver: one ReadFile of a single byte with
// time-outs that return as soon as a byte arrives or the time is up, so a
// reply is seen when it comes rather than on the next tick of the system
// timer. That byte is kept and handed out first by the next read. While the
// port is open the system timer runs at 1 ms (timeBeginPeriod), so sleeps and
// the driver's own time-outs end within a millisecond of their time.
class Win32SerialDevice : public ISerialDevice {
  public:
    Win32SerialDevice();
    // `api` stands in for the system's calls; it must outlive the device.
    explicit Win32SerialDevice(const CommApi& api);
    ~Win32SerialDevice() override;
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    // `devicePath` is a device name such as "\\.\COM3".
    bool Open(const std::string& devicePath) override;
    void Close() override;
    bool IsOpen() const override;

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

    static constexpr unsigned long kDriverQueueSize = 32768;

  private:
    bool Fail(const std::string& what);
    bool Fail(const std::string& what, unsigned long error);
    bool Escape(unsigned long function);
    bool SetReadTimeouts(std::uint32_t waitMs);

    std::unique_ptr<CommApi> ownApi_;
    const CommApi& api_;
    void* handle_;
    std::string lastError_;
    // The byte a wait for input took from the driver, not yet read.
    std::optional<std::uint8_t> held_;
    bool timerRaised_ = false;
};

}  // namespace vorenta
