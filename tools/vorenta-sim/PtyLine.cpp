// The only file of the simulator that talks to the terminal layer of the
// system; the pseudo-terminal, the descriptor and the stop signals are the
// project's own.
#include "tools/vorenta-sim/PtyLine.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/StopSignals.h"
#include "platform/posix/PosixPtyPair.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta::sim {

namespace {

std::string ErrnoText(std::string_view what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// The stop signals are let in only while the line is waited on, so a request
// never falls between looking for one and starting to wait.
class StopGate {
  public:
    StopGate() {
        sigset_t stops;
        sigemptyset(&stops);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&stops, signal);
        }
        sigprocmask(SIG_BLOCK, &stops, &oldMask_);
        waitMask_ = oldMask_;
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            sigdelset(&waitMask_, signal);
        }
    }
    ~StopGate() { sigprocmask(SIG_SETMASK, &oldMask_, nullptr); }
    StopGate(const StopGate&) = delete;
    StopGate& operator=(const StopGate&) = delete;

    const sigset_t& WaitMask() const { return waitMask_; }

  private:
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
    PosixLine(int fd, std::string path)
        : fd_(std::make_unique<UniqueFd>(fd)), path_(std::move(path)) {}

    const std::string& Path() const override { return path_; }

    WaitResult Wait(int timeoutMs, bool watchLine) override {
        if (StopRequested()) {
            return WaitResult::Stop;
        }
        pollfd entry{Fd(), POLLIN, 0};
        const bool watch = watchLine && Fd() >= 0;
        const timespec timeout{timeoutMs / 1000, static_cast<long>(timeoutMs % 1000) * 1000000L};
        const int ready = ppoll(&entry, watch ? 1 : 0, &timeout, &gate_.WaitMask());
        if (StopRequested()) {
            return WaitResult::Stop;
        }
        return ready > 0 ? WaitResult::Ready : WaitResult::Timeout;
    }

    ReadResult Read(std::vector<std::uint8_t>& out) override {
        if (Fd() < 0) {
            return ReadResult::HungUp;
        }
        std::array<std::uint8_t, 4096> buffer{};
        bool any = false;
        for (;;) {
            const ssize_t count = ::read(Fd(), buffer.data(), buffer.size());
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
        if (Fd() < 0) {
            return -1;
        }
        for (;;) {
            const ssize_t count = ::write(Fd(), data.data(), data.size());
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

    // On a pty master this reads the settings the updater made on its side.
    unsigned Speed() override { return TerminalBitsPerSecond(Fd()); }

    void Close() override { fd_.reset(); }

    std::string LastError() const override { return lastError_; }

  private:
    int Fd() const { return fd_ ? fd_->Get() : -1; }
    bool StopRequested() const {
        return signals_.Interrupts() > 0 || signals_.TerminationRequested();
    }

    StopSignals signals_;  // first: the gate blocks what it catches
    StopGate gate_;
    std::unique_ptr<UniqueFd> fd_;
    std::string path_;
    std::string lastError_;
};

}  // namespace

std::unique_ptr<SimLine> CreatePseudoTerminal(std::string& error) {
    PosixPtyPair pty;
    if (!pty.Ok()) {
        error = "cannot create a pseudo-terminal: " + pty.Error();
        return nullptr;
    }
    const std::string path = pty.SlavePath();
    const int master = pty.ReleaseMaster();
    auto line = std::make_unique<PosixLine>(master, path);
    // Raw on the updater's side too until it sets its own mode: no echo, no line editing.
    if (!MakeRaw(master, error)) {
        return nullptr;
    }
    return line;
}

std::unique_ptr<SimLine> OpenSerialDevice(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = ErrnoText("cannot open " + path);
        return nullptr;
    }
    auto line = std::make_unique<PosixLine>(fd, path);
    if (!isatty(fd)) {
        error = path + " is not a serial device";
        return nullptr;
    }
    if (!MakeRaw(fd, error)) {
        error = path + ": " + error;
        return nullptr;
    }
    return line;
}

}  // namespace vorenta::sim
