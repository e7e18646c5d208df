#pragma once

#include <memory>

namespace vorenta {

// Turns the requests to stop a program into flags a running session polls, so
// it can end cleanly (base released, port closed, page image removed).
//
// POSIX: SIGINT is counted, SIGTERM and SIGHUP ask to terminate. SIGPIPE and
// SIGXFSZ are ignored, so output to a closed pipe or past the file size limit
// fails instead of killing the process. The previous dispositions come back
// when the object is destroyed.
//
// Windows: Ctrl+C is counted; Ctrl+Break, closing the console, logging off and
// shutting down ask to terminate. For the last three Windows ends the process
// as soon as the handler returns, so the handler waits until this object is
// destroyed (the session has cleaned up) or until Windows' own time limit ends
// the process.
//
// Signal dispositions and console handlers belong to the whole process: have
// one at a time.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Interrupts (SIGINT, Ctrl+C) received so far.
    int Interrupts() const;
    // Any of the other requests received.
    bool TerminationRequested() const;

  private:
    // What the system's own part keeps until destruction.
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

// Opens the null device on any of descriptors 0, 1 and 2 that is closed, so no
// file or port opened later takes the place of standard output or error.
// Nothing to do on Windows: files and ports are kernel handles, never C
// descriptors 0-2, and output to a missing standard stream simply fails.
void OpenMissingStandardStreams();

}  // namespace vorenta
