#pragma once

#include <memory>
#include <string>

#include "platform/SerialDevice.h"

namespace vorenta {

struct CommApi;

// A COM port through the Win32 communications calls: opened for exclusive use
// (share mode 0), driver queues of 32768 bytes, reads that return at once with
// what the driver holds, writes that return when the driver has completed them.
// Waits for input look at the driver's queue every millisecond or so
// (ClearCommError, then Sleep) rather than wait on the port's events, which
// would need overlapped I/O on every call; a reply is seen within one
// scheduler tick (up to about 16 ms on a default Windows timer).
class Win32SerialDevice final : public ISerialDevice {
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
    bool Escape(unsigned long function);

    std::unique_ptr<CommApi> ownApi_;
    const CommApi& api_;
    void* handle_;
    std::string lastError_;
};

}  // namespace vorenta
