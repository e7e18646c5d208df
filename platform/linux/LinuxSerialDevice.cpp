#include "platform/linux/LinuxSerialDevice.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace vorenta {

namespace {

class SerialInfoLowLatency : public ILowLatencyMode {
  public:
    std::optional<bool> Get(int fd) override {
        serial_struct info{};
        if (::ioctl(fd, TIOCGSERIAL, &info) == 0) {
            return (info.flags & ASYNC_LOW_LATENCY) != 0;
        }
        return std::nullopt;
    }

    bool Set(int fd, bool on) override {
        serial_struct info{};
        if (::ioctl(fd, TIOCGSERIAL, &info) != 0) {
            return false;
        }
        constexpr int kFlag = static_cast<int>(ASYNC_LOW_LATENCY);
        info.flags = on ? (info.flags | kFlag) : (info.flags & ~kFlag);
        return ::ioctl(fd, TIOCSSERIAL, &info) == 0;
    }
};

}  // namespace

ILowLatencyMode& DriverLowLatencyMode() {
    static SerialInfoLowLatency mode;  // no state of its own
    return mode;
}

}  // namespace vorenta
