// Looks at a serial line from beside the updater, inside the test machine:
// the driver's low-latency mode, the modem lines, or a process holding the
// port as another program would.
//
//   vm-line-probe mode DEVICE           "low-latency on|off|unsupported", "DTR on|off RTS on|off"
//   vm-line-probe hold DEVICE SECONDS   holds the port (lock and exclusive mode), says its pid
//   vm-line-probe drain DEVICE BYTES    how long BYTES take to leave at 38400 bit/s
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fputs("usage: vm-line-probe mode DEVICE | hold DEVICE SECONDS | drain DEVICE BYTES\n",
               stderr);
    return 2;
}

int OpenLine(const char* path) {
    // Root may open a line another process holds in exclusive mode, which is
    // what lets this look at it while the updater has it.
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "vm-line-probe: %s: %s\n", path, std::strerror(errno));
    }
    return fd;
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

int ShowMode(const char* path) {
    const int fd = OpenLine(path);
    if (fd < 0) {
        return 1;
    }
    serial_struct info{};
    if (::ioctl(fd, TIOCGSERIAL, &info) == 0) {
        std::printf("low-latency %s\n", OnOff((info.flags & ASYNC_LOW_LATENCY) != 0));
    } else {
        std::printf("low-latency unsupported (%s)\n", std::strerror(errno));
    }
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) == 0) {
        std::printf("DTR %s RTS %s\n", OnOff((lines & TIOCM_DTR) != 0),
                    OnOff((lines & TIOCM_RTS) != 0));
    } else {
        std::printf("modem lines unsupported (%s)\n", std::strerror(errno));
    }
    ::close(fd);
    return 0;
}

int Hold(const char* path, const char* seconds) {
    const int fd = OpenLine(path);
    if (fd < 0) {
        return 1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        std::fprintf(stderr, "vm-line-probe: cannot hold %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::printf("holding %s as pid %ld\n", path, static_cast<long>(::getpid()));
    std::fflush(stdout);
    ::sleep(static_cast<unsigned>(std::strtoul(seconds, nullptr, 10)));
    ::close(fd);
    return 0;
}

// A real line needs 10 bits a byte; the time a driver takes shows whether the
// line below it paces what it sends.
int Drain(const char* path, const char* bytes) {
    const int fd = OpenLine(path);
    if (fd < 0) {
        return 1;
    }
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    tio.c_cflag |= CLOCAL | CREAD;
    ::tcsetattr(fd, TCSANOW, &tio);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const std::string data(std::strtoul(bytes, nullptr, 10), 'U');
    const auto start = std::chrono::steady_clock::now();
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n <= 0) {
            std::fprintf(stderr, "vm-line-probe: write: %s\n", std::strerror(errno));
            return 1;
        }
        done += static_cast<std::size_t>(n);
    }
    ::tcdrain(fd);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::printf("%zu bytes at 38400 bit/s left in %lld ms (a paced line: %zu ms)\n", data.size(),
                static_cast<long long>(ms), data.size() * 10 * 1000 / 38400);
    ::close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "mode") {
        return ShowMode(argv[2]);
    }
    if (argc == 4 && std::string(argv[1]) == "hold") {
        return Hold(argv[2], argv[3]);
    }
    if (argc == 4 && std::string(argv[1]) == "drain") {
        return Drain(argv[2], argv[3]);
    }
    return Usage();
}
