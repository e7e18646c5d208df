#include "platform/win32/Win32TickSource.h"

#include "platform/win32/WinApi.h"

namespace vorenta {

std::uint32_t Win32TickSource::GetTickCount() {
    return ::GetTickCount();
}

void Win32TickSource::Sleep(std::uint32_t ms) {
    ::Sleep(ms);
}

void Win32TickSource::Yield() {
    // Gives the rest of the time slice to any thread that is ready to run.
    ::Sleep(0);
}

}  // namespace vorenta
