#pragma once

// The Win32 calls behind a COM port, as a table of functions. The program uses
// the system's own; tests put in doubles for what Wine cannot show (a port
// another program holds, a vanished adapter, the exact records handed over).
#include <chrono>
#include <cstdint>
#include <functional>

#include "platform/win32/WinApi.h"

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
    // The waits for input sleep and measure time through these.
    std::function<void(DWORD)> sleep = ::Sleep;
    std::function<std::uint64_t()> monotonicMs = [] {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    };
};

}  // namespace vorenta
