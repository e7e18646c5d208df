#pragma once

#include <cstdint>
#include <string>

#include "update/BootLoaderTransfer.h"
#include "update/SessionParts.h"

namespace vorenta {

// One update session from "Begin Update" to its end: arming (the port, the
// firmware file, the base station, the page image), the poll on every timer
// tick until the module answers, the transfer run from the answer's message,
// and cancelling.
class SessionController {
  public:
    SessionController(const SessionParts& parts, BootLoaderTransfer& transfer)
        : parts_(parts), transfer_(transfer) {}

    // Arms a session when none is active, cancels the active one otherwise.
    void StartOrCancelUpdate();
    // Every tick of the window's timer: while armed, the status line blinks,
    // the answer is looked for and the module polled.
    void OnTimer(unsigned timerId);
    // The answer's message: the transfer runs, then the controls come back.
    long OnModuleAnswered(std::uintptr_t wParam, std::intptr_t lParam);
    void RunFirmwareTransfer();

    // The prompt that blinks in the status line while the module is awaited.
    std::string statusPromptText;
    int updateActive = 0;    // 1 while armed or answered
    int moduleAnswered = 0;  // 1 from the answer until its message runs
    std::uint32_t blinkTick = 0;
    int blinkVisible = 0;

  private:
    // Cancel steps 1 to 9, with nothing reported.
    void CancelSession();
    // The session begins on `comNumber`; its listeners hear of it before the port opens.
    void BeginSession(int comNumber);
    // The armed session's port reported that its device is gone: cancel, say so.
    void EndSessionForLostPort();

    SessionParts parts_;
    BootLoaderTransfer& transfer_;
};

}  // namespace vorenta
