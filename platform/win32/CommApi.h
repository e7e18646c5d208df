#pragma once

// The Win32 calls behind a COM port, as a table of functions. The program uses
// the system's own; tests put in doubles for what Wine cannot show (a port
// another program holds, a vanished adapter).
#include "platform/win32/WinApi.h"

namespace vorenta {

struct CommApi {
    HANDLE(WINAPI* createFile)
    (LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = ::CreateFileA;
    BOOL(WINAPI* closeHandle)(HANDLE) = ::CloseHandle;
    BOOL(WINAPI* setupComm)(HANDLE, DWORD, DWORD) = ::SetupComm;
    BOOL(WINAPI* getCommState)(HANDLE, LPDCB) = ::GetCommState;
    BOOL(WINAPI* setCommState)(HANDLE, LPDCB) = ::SetCommState;
    BOOL(WINAPI* setCommTimeouts)(HANDLE, LPCOMMTIMEOUTS) = ::SetCommTimeouts;
    BOOL(WINAPI* setCommMask)(HANDLE, DWORD) = ::SetCommMask;
    BOOL(WINAPI* escapeCommFunction)(HANDLE, DWORD) = ::EscapeCommFunction;
    BOOL(WINAPI* clearCommError)(HANDLE, LPDWORD, LPCOMSTAT) = ::ClearCommError;
    BOOL(WINAPI* purgeComm)(HANDLE, DWORD) = ::PurgeComm;
    BOOL(WINAPI* writeFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = ::WriteFile;
    BOOL(WINAPI* readFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) = ::ReadFile;
    DWORD(WINAPI* getLastError)() = ::GetLastError;
};

}  // namespace vorenta
