#pragma once

#include <memory>

namespace vorenta {

class UniqueHandle;

// Turns the console's requests to stop into flags a running session polls, so
// it can end cleanly (base released, port closed, page image removed): Ctrl+C
// is counted; Ctrl+Break, closing the console, logging off and shutting down
// ask to terminate. For the last three Windows ends the process as soon as the
// handler returns, so the handler waits until this object is destroyed (the
// session has cleaned up) or until Windows' own time limit ends the process.
// Console handlers belong to the whole process: have one at a time.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // Ctrl+C presses received so far.
    int Interrupts() const;
    // Ctrl+Break, or the console, the session or the system closing.
    bool TerminationRequested() const;

  private:
    std::unique_ptr<UniqueHandle> finished_;  // set when the session has ended
};

// Nothing to do on Windows: files and ports are kernel handles, never C
// descriptors 0-2, so none can take the place of a missing standard stream;
// output to a missing one simply fails.
void OpenMissingStandardStreams();

}  // namespace vorenta
