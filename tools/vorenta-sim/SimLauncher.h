#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorenta::sim {

// The simulator program run as a child process, for end-to-end tests: it collects
// what the program prints and its exit status, and stops it if still running
// when the object goes.
class SimProcess {
  public:
    // Null and `error` filled when the program cannot be started.
    static std::unique_ptr<SimProcess> Start(const std::string& program,
                                             const std::vector<std::string>& args,
                                             std::string& error);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first line printed (the device path), waiting up to `timeoutMs`.
    std::optional<std::string> FirstLine(int timeoutMs);
    // The exit status once the program has ended, waiting up to `timeoutMs`;
    // -1 when it ended by a signal.
    std::optional<int> Wait(int timeoutMs);
    // Asks the program to stop, as Ctrl-C would.
    void Interrupt();

    const std::string& Output() const { return out_; }
    const std::string& Errors() const { return err_; }

  private:
    SimProcess(int pid, int outFd, int errFd) : pid_(pid), outFd_(outFd), errFd_(errFd) {}
    // Reads what is there, waiting up to `timeoutMs` for something.
    void Pump(int timeoutMs);
    bool Reap(bool block);

    int pid_;
    int outFd_;
    int errFd_;
    std::optional<int> status_;
    std::string out_;
    std::string err_;
};

}  // namespace vorenta::sim
