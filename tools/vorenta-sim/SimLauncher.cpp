#include "tools/vorenta-sim/SimLauncher.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>

extern char** environ;

namespace vorenta::sim {

namespace {

int RemainingMs(std::chrono::steady_clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::unique_ptr<SimProcess> SimProcess::Start(const std::string& program,
                                              const std::vector<std::string>& args,
                                              std::string& error) {
    std::array<int, 2> out{-1, -1};
    std::array<int, 2> err{-1, -1};
    if (pipe2(out.data(), O_CLOEXEC) != 0 || pipe2(err.data(), O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        for (const int fd : {out[0], out[1], err[0], err[1]}) {
            if (fd >= 0) {
                close(fd);
            }
        }
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);

    std::vector<std::string> storage;
    storage.push_back(program);
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(storage.size() + 1);
    for (std::string& arg : storage) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int result = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (result != 0) {
        error = "cannot start " + program + ": " + std::strerror(result);
        close(out[0]);
        close(err[0]);
        return nullptr;
    }
    fcntl(out[0], F_SETFL, O_NONBLOCK);
    fcntl(err[0], F_SETFL, O_NONBLOCK);
    return std::unique_ptr<SimProcess>(new SimProcess(pid, out[0], err[0]));
}

SimProcess::~SimProcess() {
    if (!status_) {
        kill(pid_, SIGKILL);
        Reap(true);
    }
    for (const int fd : {outFd_, errFd_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

void SimProcess::Pump(int timeoutMs) {
    std::array<pollfd, 2> fds{{{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}}};
    if (poll(fds.data(), fds.size(), timeoutMs) <= 0) {
        return;
    }
    std::array<char, 4096> buffer{};
    for (auto [fd, text] : {std::pair{&outFd_, &out_}, std::pair{&errFd_, &err_}}) {
        if (*fd < 0) {
            continue;
        }
        for (;;) {
            const ssize_t count = read(*fd, buffer.data(), buffer.size());
            if (count > 0) {
                text->append(buffer.data(), static_cast<std::size_t>(count));
                continue;
            }
            if (count == 0) {
                close(*fd);
                *fd = -1;
            }
            break;
        }
    }
}

bool SimProcess::Reap(bool block) {
    if (status_) {
        return true;
    }
    int status = 0;
    if (waitpid(pid_, &status, block ? 0 : WNOHANG) != pid_) {
        return false;
    }
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

std::optional<std::string> SimProcess::FirstLine(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const auto newline = out_.find('\n'); newline != std::string::npos) {
            return out_.substr(0, newline);
        }
        if (outFd_ < 0 || RemainingMs(end) == 0) {
            return std::nullopt;
        }
        Pump(std::min(RemainingMs(end), 50));
    }
}

std::optional<int> SimProcess::Wait(int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Pump(std::min(RemainingMs(end), 20));
        if ((outFd_ < 0 && errFd_ < 0) && Reap(false)) {
            return status_;
        }
        if (outFd_ >= 0 || errFd_ >= 0) {
            if (RemainingMs(end) == 0) {
                return std::nullopt;
            }
            continue;
        }
        if (Reap(false)) {
            return status_;
        }
        if (RemainingMs(end) == 0) {
            return std::nullopt;
        }
    }
}

void SimProcess::Interrupt() {
    if (!status_) {
        kill(pid_, SIGINT);
    }
}

}  // namespace vorenta::sim
