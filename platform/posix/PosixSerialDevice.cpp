#include "platform/posix/PosixSerialDevice.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace vorenta {

namespace {

bool SpeedConstant(std::uint32_t bitsPerSecond, speed_t& speed) {
    switch (bitsPerSecond) {
        case 300:
            speed = B300;
            return true;
        case 600:
            speed = B600;
            return true;
        case 1200:
            speed = B1200;
            return true;
        case 2400:
            speed = B2400;
            return true;
        case 4800:
            speed = B4800;
            return true;
        case 9600:
            speed = B9600;
            return true;
        case 19200:
            speed = B19200;
            return true;
        case 38400:
            speed = B38400;
            return true;
        case 57600:
            speed = B57600;
            return true;
        case 115200:
            speed = B115200;
            return true;
        default:
            return false;
    }
}

bool SizeFlag(std::uint8_t dataBits, tcflag_t& flag) {
    switch (dataBits) {
        case 5:
            flag = CS5;
            return true;
        case 6:
            flag = CS6;
            return true;
        case 7:
            flag = CS7;
            return true;
        case 8:
            flag = CS8;
            return true;
        default:
            return false;
    }
}

bool IsTransient(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

constexpr std::uint64_t kBitsPerByte = 10;
// Sleeps while the output queue drains: long enough not to spin, short enough
// to notice a stalled line in time.
constexpr std::uint64_t kShortestDrainSleepMs = 1;
constexpr std::uint64_t kLongestDrainSleepMs = 100;

std::uint64_t MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000U +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000U;
}

void SleepMs(std::uint64_t ms) {
    timespec left{static_cast<time_t>(ms / 1000U), static_cast<long>(ms % 1000U) * 1000000L};
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

class SerialInfoLowLatency : public ILowLatencyMode {
  public:
    std::optional<bool> Get(int fd) override {
#if defined(__linux__) && defined(ASYNC_LOW_LATENCY)
        serial_struct info{};
        if (::ioctl(fd, TIOCGSERIAL, &info) == 0) {
            return (info.flags & ASYNC_LOW_LATENCY) != 0;
        }
#else
        static_cast<void>(fd);
#endif
        return std::nullopt;
    }

    bool Set(int fd, bool on) override {
#if defined(__linux__) && defined(ASYNC_LOW_LATENCY)
        serial_struct info{};
        if (::ioctl(fd, TIOCGSERIAL, &info) != 0) {
            return false;
        }
        constexpr int kFlag = static_cast<int>(ASYNC_LOW_LATENCY);
        info.flags = on ? (info.flags | kFlag) : (info.flags & ~kFlag);
        return ::ioctl(fd, TIOCSSERIAL, &info) == 0;
#else
        static_cast<void>(fd);
        static_cast<void>(on);
        return false;
#endif
    }
};

}  // namespace

ILowLatencyMode& DriverLowLatencyMode() {
    static SerialInfoLowLatency mode;  // no state of its own
    return mode;
}

PosixSerialDevice::~PosixSerialDevice() {
    Close();
}

bool PosixSerialDevice::Fail(const std::string& what, int error) {
    lastError_ = what;
    if (error != 0) {
        lastError_ += ": ";
        lastError_ += std::strerror(error);
    }
    return false;
}

bool PosixSerialDevice::Open(const std::string& devicePath) {
    Close();
    lastError_.clear();
    UniqueFd fd(::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        // A device put in exclusive mode by another process answers EBUSY here.
        return Fail(devicePath, errno);
    }
    if (::isatty(fd.Get()) == 0) {
        return Fail(devicePath + " is not a serial device", 0);
    }
    // The lock also keeps out other processes running as root, which TIOCEXCL does not.
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        return Fail(devicePath + " is in use by another program", error == EWOULDBLOCK ? 0 : error);
    }
    if (::ioctl(fd.Get(), TIOCEXCL) != 0) {
        return Fail(devicePath + ": cannot get exclusive use", errno);
    }

    termios tio{};
    if (::tcgetattr(fd.Get(), &tio) != 0) {
        return Fail(devicePath + ": cannot read line settings", errno);
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(fd.Get(), TCSANOW, &tio) != 0) {
        return Fail(devicePath + ": cannot set raw mode", errno);
    }
    fd_ = fd.Release();
    AskForLowLatency();
    // A pty has no modem lines and refuses this; that is fine.
    SetDtr(true);
    SetRts(true);
    lastError_.clear();
    return true;
}

void PosixSerialDevice::AskForLowLatency() {
    // USB adapters otherwise hold received bytes up to 16 ms before passing them on.
    // A pty and many drivers have no such mode; the line works either way.
    lowLatencyToRestore_ =
        lowLatency_.Get(fd_) == std::optional<bool>(false) && lowLatency_.Set(fd_, true);
}

void PosixSerialDevice::RestoreLowLatency() {
    if (lowLatencyToRestore_) {
        lowLatency_.Set(fd_, false);  // a vanished device refuses; nothing is left to restore
        lowLatencyToRestore_ = false;
    }
}

void PosixSerialDevice::Close() {
    if (fd_ < 0) {
        return;
    }
    SetDtr(false);
    SetRts(false);
    RestoreLowLatency();
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also drops the lock
    fd_ = -1;
}

bool PosixSerialDevice::ApplySettings(const Dcb& dcb) {
    if (fd_ < 0) {
        return Fail("port not open", 0);
    }
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) {
        return Fail("cannot read line settings", errno);
    }
    bool complete = true;

    speed_t speed = B9600;
    const bool speedKnown = SpeedConstant(dcb.BaudRate, speed);
    if (speedKnown) {
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
    } else {
        // No termios constant (14400): the line keeps its speed, the record keeps the asked one.
        complete = Fail("speed " + std::to_string(dcb.BaudRate) + " not available", 0);
    }

    tcflag_t size = CS8;
    if (SizeFlag(dcb.ByteSize, size)) {
        tio.c_cflag = (tio.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | size;
    } else {
        complete = Fail(std::to_string(dcb.ByteSize) + " data bits not available", 0);
    }

    tcflag_t parity = 0;
    switch (dcb.Parity) {
        case EVENPARITY:
            parity = PARENB;
            break;
        case ODDPARITY:
            parity = PARENB | PARODD;
            break;
#ifdef CMSPAR
        case MARKPARITY:
            parity = PARENB | CMSPAR | PARODD;
            break;
        case SPACEPARITY:
            parity = PARENB | CMSPAR;
            break;
#endif
        case NOPARITY:
            break;
        default:
            complete = Fail("parity not available", 0);
            break;
    }
    tcflag_t parityMask = PARENB | PARODD;
#ifdef CMSPAR
    parityMask |= CMSPAR;
#endif
    tio.c_cflag = (tio.c_cflag & ~parityMask) | parity;

    if (dcb.StopBits == ONESTOPBIT) {
        tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    } else {
        tio.c_cflag |= CSTOPB;
    }

    tio.c_cflag |= CLOCAL | CREAD;
    if (dcb.fOutxCtsFlow != 0) {
        tio.c_cflag |= CRTSCTS;
    } else {
        tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    }
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    if (dcb.fOutX != 0) {
        tio.c_iflag |= IXON;
    }
    if (dcb.fInX != 0) {
        tio.c_iflag |= IXOFF;
    }

    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) {
        return Fail("cannot set line settings", errno);
    }
    if (speedKnown) {
        bitsPerSecond_ = dcb.BaudRate;
    }
    if (complete) {
        lastError_.clear();
    }
    return complete;
}

bool PosixSerialDevice::SetModemLine(int line, bool raised) {
    if (fd_ < 0) {
        return false;
    }
    return ::ioctl(fd_, raised ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

bool PosixSerialDevice::SetDtr(bool raised) {
    return SetModemLine(TIOCM_DTR, raised);
}

bool PosixSerialDevice::SetRts(bool raised) {
    return SetModemLine(TIOCM_RTS, raised);
}

long PosixSerialDevice::Write(const std::uint8_t* data, std::size_t count) {
    if (fd_ < 0) {
        Fail("port not open", 0);
        return -1;
    }
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, data + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && !IsTransient(errno)) {
            Fail("write failed", errno);
            return -1;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // The driver's queue is full: wait for room, but not on a line that is gone.
        pollfd p{fd_, POLLOUT, 0};
        const int ready = ::poll(&p, 1, writeStallLimitMs_);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready < 0) {
            Fail("write failed", errno);
            return -1;
        }
        if (ready == 0) {
            Fail("write stalled: the line took nothing for " + std::to_string(writeStallLimitMs_) +
                     " ms",
                 0);
            return -1;
        }
        if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            Fail("the device went away", 0);
            return -1;
        }
    }
    if (!Drain()) {
        return -1;
    }
    return static_cast<long>(done);
}

bool PosixSerialDevice::Drain() {
    // tcdrain alone has no time limit, so first sleep while the driver's queue
    // shrinks; a queue that stays the same for the stall limit means a dead line.
    int lastQueued = -1;
    std::uint64_t lastProgress = MonotonicMs();
    for (;;) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) {
            break;  // empty, or a driver that cannot tell: tcdrain decides
        }
        const std::uint64_t now = MonotonicMs();
        if (queued != lastQueued) {
            lastQueued = queued;
            lastProgress = now;
        } else if (now - lastProgress >= static_cast<std::uint64_t>(writeStallLimitMs_)) {
            Fail("write stalled: the line sent nothing for " + std::to_string(writeStallLimitMs_) +
                     " ms",
                 0);
            return false;
        }
        const std::uint64_t wireMs =
            static_cast<std::uint64_t>(queued) * kBitsPerByte * 1000U / bitsPerSecond_;
        SleepMs(std::clamp(wireMs, kShortestDrainSleepMs, kLongestDrainSleepMs));
    }
    // The last bytes: the driver's and the adapter's own buffers.
    while (::tcdrain(fd_) != 0) {
        if (errno != EINTR) {
            Fail("write failed", errno);
            return false;
        }
    }
    return true;
}

long PosixSerialDevice::BytesWaiting() {
    if (fd_ < 0) {
        return -1;
    }
    int waiting = 0;
    if (::ioctl(fd_, FIONREAD, &waiting) != 0) {
        Fail("cannot query the input queue", errno);
        return -1;
    }
    if (waiting > 0) {
        return waiting;
    }
    // Nothing queued: tell an idle line from one whose device has gone.
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        Fail("the device went away", 0);
        return -1;
    }
    return 0;
}

long PosixSerialDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    if (fd_ < 0) {
        return -1;
    }
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, maxCount);
        if (n >= 0) {
            return static_cast<long>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        Fail("read failed", errno);
        return -1;
    }
}

bool PosixSerialDevice::WaitForInput(std::uint32_t timeoutMs) {
    if (fd_ < 0) {
        return false;
    }
    pollfd p{fd_, POLLIN, 0};
    const int ready =
        ::poll(&p, 1, static_cast<int>(std::min<std::uint32_t>(timeoutMs, 1U << 30U)));
    if (ready < 0) {
        return errno == EINTR;
    }
    if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        // A hung-up line wakes every poll at once, for ever: a wait only while bytes are left.
        return BytesWaiting() > 0;
    }
    return true;
}

bool PosixSerialDevice::PurgeOutput() {
    return fd_ >= 0 && ::tcflush(fd_, TCOFLUSH) == 0;
}

bool PosixSerialDevice::PurgeInput() {
    return fd_ >= 0 && ::tcflush(fd_, TCIFLUSH) == 0;
}

}  // namespace vorenta
