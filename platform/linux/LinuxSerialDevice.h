#pragma once

#include "platform/posix/PosixSerialDevice.h"

namespace vorenta {

// The low-latency mode of Linux serial drivers, read and set through
// TIOCGSERIAL and TIOCSSERIAL; nullopt and false where a driver (a pty, many
// USB drivers) has no such mode.
ILowLatencyMode& DriverLowLatencyMode();

// A serial line on Linux: the POSIX line, with the driver's low-latency mode
// switched on while it is open (USB adapters otherwise hold received bytes up
// to 16 ms) and given back as it was at close.
class LinuxSerialDevice : public PosixSerialDevice {
  public:
    LinuxSerialDevice() : PosixSerialDevice(DriverLowLatencyMode()) {}
};

}  // namespace vorenta
