// The only file of the simulator that talks to the terminal layer of the system.
#include "tools/vorenta-sim/PtyLine.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace vorenta::sim {

namespace {

class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

  private:
    int fd_;
};

std::string ErrnoText(std::string_view what) {
    return std::string(what) + ": " + std::strerror(errno);
}

struct SpeedEntry {
    speed_t code;
    unsigned bitsPerSecond;
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

// The handler only exists so that a stop signal interrupts ppoll instead of ending
// the process before the summary is printed.
extern "C" void IgnoreStopSignal(int) {}

// Blocks SIGINT and SIGTERM while the line exists; Wait lets them in only inside ppoll.
class StopSignals {
  public:
    StopSignals() {
        struct sigaction action {};
        action.sa_handler = IgnoreStopSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInt_);
        sigaction(SIGTERM, &action, &oldTerm_);
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGINT);
        sigaddset(&stops, SIGTERM);
        sigprocmask(SIG_BLOCK, &stops, &oldMask_);
        waitMask_ = oldMask_;
        sigdelset(&waitMask_, SIGINT);
        sigdelset(&waitMask_, SIGTERM);
    }
    ~StopSignals() {
        sigprocmask(SIG_SETMASK, &oldMask_, nullptr);
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    const sigset_t& WaitMask() const { return waitMask_; }

  private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    sigset_t oldMask_{};
    sigset_t waitMask_{};
};

bool MakeRaw(int fd, std::string& error) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        error = ErrnoText("not a terminal");
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B38400);
    cfsetospeed(&settings, B38400);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        error = ErrnoText("cannot set raw mode");
        return false;
    }
    return true;
}

class PosixLine : public SimLine {
  public:
    PosixLine(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}

    const std::string& Path() const override { return path_; }

    WaitResult Wait(int timeoutMs, bool watchLine) override {
        pollfd entry{fd_.Get(), POLLIN, 0};
        const bool watch = watchLine && fd_.Get() >= 0;
        const timespec timeout{timeoutMs / 1000, static_cast<long>(timeoutMs % 1000) * 1000000L};
        const int ready = ppoll(&entry, watch ? 1 : 0, &timeout, &signals_.WaitMask());
        if (ready < 0) {
            return errno == EINTR ? WaitResult::Stop : WaitResult::Timeout;
        }
        return ready == 0 ? WaitResult::Timeout : WaitResult::Ready;
    }

    ReadResult Read(std::vector<std::uint8_t>& out) override {
        if (fd_.Get() < 0) {
            return ReadResult::HungUp;
        }
        std::array<std::uint8_t, 4096> buffer{};
        bool any = false;
        for (;;) {
            const ssize_t count = ::read(fd_.Get(), buffer.data(), buffer.size());
            if (count > 0) {
                out.insert(out.end(), buffer.begin(), buffer.begin() + count);
                any = true;
                continue;
            }
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return any ? ReadResult::Data : ReadResult::Nothing;
            }
            // A pty master reads EIO once the other side has closed; a device reads 0.
            if (count == 0 || errno == EIO) {
                return any ? ReadResult::Data : ReadResult::HungUp;
            }
            lastError_ = ErrnoText("read failed");
            return any ? ReadResult::Data : ReadResult::Failed;
        }
    }

    long Write(std::span<const std::uint8_t> data) override {
        if (fd_.Get() < 0) {
            return -1;
        }
        for (;;) {
            const ssize_t count = ::write(fd_.Get(), data.data(), data.size());
            if (count >= 0) {
                return count;
            }
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return 0;
            }
            lastError_ = ErrnoText("write failed");
            return -1;
        }
    }

    unsigned Speed() override {
        // On a pty master this reads the settings the updater made on its side.
        termios settings{};
        if (fd_.Get() < 0 || tcgetattr(fd_.Get(), &settings) != 0) {
            return 0;
        }
        const speed_t code = cfgetospeed(&settings);
        for (const SpeedEntry& entry : kSpeeds) {
            if (entry.code == code) {
                return entry.bitsPerSecond;
            }
        }
        return 0;
    }

    void Close() override { fd_.Reset(); }

    std::string LastError() const override { return lastError_; }

  private:
    StopSignals signals_;
    UniqueFd fd_;
    std::string path_;
    std::string lastError_;
};

}  // namespace

std::unique_ptr<SimLine> CreatePseudoTerminal(std::string& error) {
    UniqueFd master(posix_openpt(O_RDWR | O_NOCTTY));
    if (master.Get() < 0) {
        error = ErrnoText("cannot create a pseudo-terminal");
        return nullptr;
    }
    if (grantpt(master.Get()) != 0 || unlockpt(master.Get()) != 0) {
        error = ErrnoText("cannot unlock the pseudo-terminal");
        return nullptr;
    }
    std::array<char, 256> name{};
    if (ptsname_r(master.Get(), name.data(), name.size()) != 0) {
        error = ErrnoText("cannot name the pseudo-terminal");
        return nullptr;
    }
    fcntl(master.Get(), F_SETFD, FD_CLOEXEC);
    if (fcntl(master.Get(), F_SETFL, fcntl(master.Get(), F_GETFL) | O_NONBLOCK) != 0) {
        error = ErrnoText("cannot make the pseudo-terminal non-blocking");
        return nullptr;
    }
    // Raw on the updater's side too until it sets its own mode: no echo, no line editing.
    if (!MakeRaw(master.Get(), error)) {
        return nullptr;
    }
    return std::make_unique<PosixLine>(std::move(master), std::string(name.data()));
}

std::unique_ptr<SimLine> OpenSerialDevice(const std::string& path, std::string& error) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        error = ErrnoText("cannot open " + path);
        return nullptr;
    }
    if (!isatty(fd.Get())) {
        error = path + " is not a serial device";
        return nullptr;
    }
    if (!MakeRaw(fd.Get(), error)) {
        error = path + ": " + error;
        return nullptr;
    }
    return std::make_unique<PosixLine>(std::move(fd), path);
}

}  // namespace vorenta::sim
