#include "platform/NativeTickSource.h"

#include "platform/win32/WinApi.h"

namespace vorenta {

std::uint32_t NativeTickSource::GetTickCount() {
    return ::GetTickCount();
}

void NativeTickSource::Sleep(std::uint32_t ms) {
    ::Sleep(ms);
}

void NativeTickSource::Yield() {
    // Gives the rest of the time slice to any thread that is ready to run.
    ::Sleep(0);
}

}  // namespace vorenta
