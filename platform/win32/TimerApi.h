#pragma once

// The Win32 calls behind the tick source, as a table of functions. The program
// uses the system's own; tests put in a model of a PC's timers, which Wine
// (sleeping on Linux's timers) cannot show.
#include <functional>

#include "platform/win32/WinApi.h"

namespace vorenta {

struct TimerApi {
    std::function<BOOL(LARGE_INTEGER*)> queryPerformanceCounter = ::QueryPerformanceCounter;
    std::function<BOOL(LARGE_INTEGER*)> queryPerformanceFrequency = ::QueryPerformanceFrequency;
    std::function<HANDLE(LPSECURITY_ATTRIBUTES, LPCWSTR, DWORD, DWORD)> createWaitableTimerEx =
        ::CreateWaitableTimerExW;
    std::function<BOOL(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID, BOOL)>
        setWaitableTimer = ::SetWaitableTimer;
    std::function<DWORD(HANDLE, DWORD)> waitForSingleObject = ::WaitForSingleObject;
    std::function<BOOL(HANDLE)> closeHandle = ::CloseHandle;
    std::function<void(DWORD)> sleep = ::Sleep;
};

}  // namespace vorenta
