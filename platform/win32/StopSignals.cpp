#include "platform/StopSignals.h"

#include <atomic>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WinApi.h"

namespace vorenta {

namespace {

// The console runs the handler on a thread of its own; it can reach only these.
std::atomic<int> interruptCount{0};
std::atomic<int> terminationCount{0};
std::atomic<HANDLE> finishedEvent{nullptr};

BOOL WINAPI OnConsoleControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            ++interruptCount;
            return TRUE;
        case CTRL_BREAK_EVENT:
            ++terminationCount;
            return TRUE;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT: {
            ++terminationCount;
            // Returning ends the process: first let the session clean up.
            const HANDLE finished = finishedEvent.load();
            if (finished != nullptr) {
                ::WaitForSingleObject(finished, INFINITE);
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

struct StopSignals::Saved {
    // Set when the session has ended.
    UniqueHandle finished{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

StopSignals::StopSignals() : saved_(std::make_unique<Saved>()) {
    interruptCount = 0;
    terminationCount = 0;
    finishedEvent = saved_->finished.Valid() ? saved_->finished.Get() : nullptr;
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopSignals::~StopSignals() {
    finishedEvent = nullptr;
    if (saved_->finished.Valid()) {
        ::SetEvent(saved_->finished.Get());
    }
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

int StopSignals::Interrupts() const {
    return interruptCount.load();
}

bool StopSignals::TerminationRequested() const {
    return terminationCount.load() != 0;
}

void OpenMissingStandardStreams() {}

}  // namespace vorenta
