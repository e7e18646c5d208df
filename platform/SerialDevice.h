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

    // Returns when every byte is taken; -1 when the device reports an error.
    virtual long Write(const std::uint8_t* data, std::size_t count) = 0;
    // Bytes received and not yet read; -1 on a device error.
    virtual long BytesWaiting() = 0;
    // Never waits: returns what is there (possibly 0), -1 on a device error.
    virtual long Read(std::uint8_t* buffer, std::size_t maxCount) = 0;
    virtual bool PurgeOutput() = 0;
    virtual bool PurgeInput() = 0;
};

}  // namespace vorenta
