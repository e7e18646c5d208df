#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Dcb.h"

namespace vorenta {

// One serial line as the port object needs it. Implementations: termios on
// POSIX, an in-memory device for tests.
class ISerialDevice {
  public:
    virtual ~ISerialDevice() = default;

    // Opens for exclusive use; false when absent, busy or not a serial line.
    virtual bool Open(const std::string& devicePath) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Speed, parity, data and stop bits as the record asks; no flow control.
    virtual bool ApplySettings(const Dcb& dcb) = 0;
    virtual bool SetDtr(bool raised) = 0;
    virtual bool SetRts(bool raised) = 0;

    // Returns once the line has sent every byte, not when they are merely queued,
    // so a pause after a write is a real gap on the wire; -1 when the device
    // reports an error or takes nothing for too long.
    virtual long Write(const std::uint8_t* data, std::size_t count) = 0;
    // Bytes received and not yet read; -1 on a device error.
    virtual long BytesWaiting() = 0;
    // Never waits: returns what is there (possibly 0), -1 on a device error.
    virtual long Read(std::uint8_t* buffer, std::size_t maxCount) = 0;
    // Sleeps until received bytes are waiting or about `timeoutMs` have passed;
    // may end early (a signal). False when this line cannot wait so, or is gone:
    // the caller then sleeps on its clock instead of asking again at once.
    virtual bool WaitForInput(std::uint32_t timeoutMs) {
        static_cast<void>(timeoutMs);
        return false;
    }
    virtual bool PurgeOutput() = 0;
    virtual bool PurgeInput() = 0;
};

}  // namespace vorenta
