#include "update/SessionReporter.h"

namespace vorenta {

void SessionReporter::Begin(const SessionStart& start) {
    open_ = true;
    reported_ = false;
    sawSuccess_ = false;
    sawFailure_ = false;
    events_.OnSessionStarted(start);
}

void SessionReporter::Report(const SessionOutcome& outcome) {
    if (open_) {
        reported_ = true;
        sawSuccess_ = sawSuccess_ || outcome.result == SessionResult::Success;
        sawFailure_ = sawFailure_ || outcome.result == SessionResult::Failure;
    }
    events_.OnOutcome(outcome);
}

void SessionReporter::EndIfOpen() {
    if (!open_) {
        return;
    }
    open_ = false;
    events_.OnSessionEnded(sawFailure_   ? SessionResult::Failure
                           : sawSuccess_ ? SessionResult::Success
                                         : SessionResult::Cancelled);
}

}  // namespace vorenta
