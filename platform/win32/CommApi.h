#pragma once

// The Win32 calls behind a COM port, as a table of functions. The program uses
// the system's own; tests put in doubles for what Wine cannot show (a port
// another program holds, a vanished adapter, the exact records handed over).
#include <functional>

#include "platform/win32/WinApi.h"

#include <mmsystem.h>

namespace vorenta {

struct CommApi {
    std::function<HANDLE(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)>
        createFile = ::CreateFileA;
    std::function<BOOL(HANDLE)> closeHandle = ::CloseHandle;
    std::function<BOOL(HANDLE, DWORD, DWORD)> setupComm = ::SetupComm;
    std::function<BOOL(HANDLE, LPDCB)> getCommState = ::GetCommState;
    std::function<BOOL(HANDLE, LPDCB)> setCommState = ::SetCommState;
    std::function<BOOL(HANDLE, LPCOMMTIMEOUTS)> setCommTimeouts = ::SetCommTimeouts;
    std::function<BOOL(HANDLE, DWORD)> setCommMask = ::SetCommMask;
    std::function<BOOL(HANDLE, DWORD)> escapeCommFunction = ::EscapeCommFunction;
    std::function<BOOL(HANDLE, LPDWORD, LPCOMSTAT)> clearCommError = ::ClearCommError;
    std::function<BOOL(HANDLE, DWORD)> purgeComm = ::PurgeComm;
    std::function<BOOL(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> writeFile = ::WriteFile;
    std::function<BOOL(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)> readFile = ::ReadFile;
    std::function<DWORD()> getLastError = ::GetLastError;
    // The system timer is raised to 1 ms while a port is open.
    std::function<MMRESULT(UINT)> timeBeginPeriod = ::timeBeginPeriod;
    std::function<MMRESULT(UINT)> timeEndPeriod = ::timeEndPeriod;
};

}  // namespace vorenta
