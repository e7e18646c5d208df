#pragma once

#include "update/SessionEvents.h"

namespace vorenta {

// Tells the listeners what the update session under way reports, and keeps
// what it has reported: a session is open from its start until its window is
// idle again, and ends as a failure when anything failed, as a success when
// the update was reported done, else as cancelled.
class SessionReporter {
  public:
    explicit SessionReporter(ISessionEvents& events) : events_(events) {}

    ISessionEvents& Events() { return events_; }
    bool SessionOpen() const { return open_; }
    // An outcome was reported since the session began.
    bool OutcomeReported() const { return reported_; }

    void Begin(const SessionStart& start);
    void Report(const SessionOutcome& outcome);
    // Called when the window is idle again: a session under way ends.
    void EndIfOpen();

  private:
    ISessionEvents& events_;
    bool open_ = false;
    bool reported_ = false;
    bool sawSuccess_ = false;
    bool sawFailure_ = false;
};

}  // namespace vorenta
