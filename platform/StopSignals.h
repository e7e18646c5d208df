#pragma once

#include <signal.h>

#include <array>

namespace vorenta {

// Turns the signals that ask a program to stop into flags a running session
// polls, so it can end cleanly (base released, port closed, page image
// removed): SIGINT is counted, SIGTERM and SIGHUP ask to terminate. SIGPIPE and
// SIGXFSZ are ignored, so output to a closed pipe or past the file size limit
// fails instead of killing the process.
// Signal dispositions belong to the whole process: have one at a time. The
// previous dispositions come back when it is destroyed.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // SIGINTs received so far.
    int Interrupts() const;
    // SIGTERM or SIGHUP received.
    bool TerminationRequested() const;

  private:
    std::array<struct sigaction, 5> previous_{};  // SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ
};

// Opens /dev/null on any of descriptors 0, 1 and 2 that is closed, so no file
// or port opened later takes the place of standard output or error.
void OpenMissingStandardStreams();

}  // namespace vorenta
