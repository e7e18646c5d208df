#include "platform/posix/PosixPtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace vorenta {

namespace {

constexpr std::size_t kPathBufferSize = 128;

struct SpeedEntry {
    speed_t code;
    std::uint32_t bitsPerSecond;
};

constexpr std::array<SpeedEntry, 19> kSpeeds = {{{B50, 50},
                                                 {B75, 75},
                                                 {B110, 110},
                                                 {B134, 134},
                                                 {B150, 150},
                                                 {B200, 200},
                                                 {B300, 300},
                                                 {B600, 600},
                                                 {B1200, 1200},
                                                 {B1800, 1800},
                                                 {B2400, 2400},
                                                 {B4800, 4800},
                                                 {B9600, 9600},
                                                 {B19200, 19200},
                                                 {B38400, 38400},
                                                 {B57600, 57600},
                                                 {B115200, 115200},
                                                 {B230400, 230400},
                                                 {B460800, 460800}}};

std::uint32_t BitsPerSecond(speed_t speed) {
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.code == speed) {
            return entry.bitsPerSecond;
        }
    }
    return 0;
}

}  // namespace

PosixPtyPair::PosixPtyPair() {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error_ = std::string("posix_openpt: ") + std::strerror(errno);
        return;
    }
    std::array<char, kPathBufferSize> path{};
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 ||
        ::ptsname_r(fd, path.data(), path.size()) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
        error_ = std::string("pty setup: ") + std::strerror(errno);
        ::close(fd);
        return;
    }
    master_ = fd;
    slavePath_ = path.data();
}

PosixPtyPair::~PosixPtyPair() {
    CloseMaster();
}

int PosixPtyPair::ReleaseMaster() {
    const int fd = master_;
    master_ = -1;
    return fd;
}

std::uint32_t TerminalBitsPerSecond(int fd) {
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0) {
        return 0;
    }
    return BitsPerSecond(::cfgetospeed(&tio));
}

void PosixPtyPair::CloseMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

std::vector<std::uint8_t> PosixPtyPair::ReadMaster(std::size_t count, int timeoutMs) {
    std::vector<std::uint8_t> got;
    if (master_ < 0) {
        return got;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::array<std::uint8_t, 256> chunk{};
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            break;
        }
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) {
            continue;
        }
        const ssize_t n = ::read(master_, chunk.data(), std::min(chunk.size(), count - got.size()));
        if (n > 0) {
            got.insert(got.end(), chunk.begin(), chunk.begin() + n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            // EIO while no slave is open: wait for the deadline rather than spin.
            ::poll(nullptr, 0, 10);
        }
    }
    return got;
}

bool PosixPtyPair::WriteMaster(const std::vector<std::uint8_t>& bytes) {
    if (master_ < 0) {
        return false;
    }
    return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool PosixPtyPair::ReadLine(LineView& view) const {
    termios tio{};
    // On a master, the settings are those of the slave side.
    if (master_ < 0 || ::tcgetattr(master_, &tio) != 0) {
        return false;
    }
    view.bitsPerSecond = BitsPerSecond(::cfgetospeed(&tio));
    switch (tio.c_cflag & CSIZE) {
        case CS5:
            view.dataBits = 5;
            break;
        case CS6:
            view.dataBits = 6;
            break;
        case CS7:
            view.dataBits = 7;
            break;
        default:
            view.dataBits = 8;
            break;
    }
    view.parity = 'N';
    if ((tio.c_cflag & PARENB) != 0) {
        const bool odd = (tio.c_cflag & PARODD) != 0;
#ifdef CMSPAR
        if ((tio.c_cflag & CMSPAR) != 0) {
            view.parity = odd ? 'M' : 'S';
        } else
#endif
        {
            view.parity = odd ? 'O' : 'E';
        }
    }
    view.stopBits = (tio.c_cflag & CSTOPB) != 0 ? 2 : 1;
    view.raw = (tio.c_lflag & (ECHO | ICANON | ISIG)) == 0 && (tio.c_oflag & OPOST) == 0;
    return true;
}

}  // namespace vorenta
