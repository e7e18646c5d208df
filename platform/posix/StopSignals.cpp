#include "platform/StopSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <csignal>

namespace vorenta {

namespace {

// A signal handler can reach nothing but these.
volatile std::sig_atomic_t interruptCount = 0;
volatile std::sig_atomic_t terminationCount = 0;

constexpr std::array kCaught{SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};

extern "C" void OnStopSignal(int signal) {
    if (signal == SIGINT) {
        interruptCount = interruptCount + 1;
    } else {
        terminationCount = terminationCount + 1;
    }
}

}  // namespace

struct StopSignals::Saved {
    std::array<struct sigaction, kCaught.size()> previous{};
};

StopSignals::StopSignals() : saved_(std::make_unique<Saved>()) {
    interruptCount = 0;
    terminationCount = 0;
    for (std::size_t i = 0; i < kCaught.size(); ++i) {
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        const bool ignored = kCaught[i] == SIGPIPE || kCaught[i] == SIGXFSZ;
        action.sa_handler = ignored ? SIG_IGN : OnStopSignal;
        // Interrupted system calls return, so waits notice the flag promptly.
        action.sa_flags = 0;
        ::sigaction(kCaught[i], &action, &saved_->previous[i]);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kCaught.size(); ++i) {
        ::sigaction(kCaught[i], &saved_->previous[i], nullptr);
    }
}

int StopSignals::Interrupts() const {
    return static_cast<int>(interruptCount);
}

bool StopSignals::TerminationRequested() const {
    return terminationCount != 0;
}

void OpenMissingStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) {
            continue;
        }
        // open takes the lowest free descriptor: this one.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::close(opened);
        }
    }
}

}  // namespace vorenta
