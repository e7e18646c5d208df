#pragma once

// The SetupAPI and configuration-manager calls that tell what stands behind a
// COM port, as a table of functions. The program uses the system's own; tests
// put in doubles of the adapters Wine does not have.
#include <functional>

#include "platform/win32/WinApi.h"

#include <cfgmgr32.h>
#include <setupapi.h>

namespace vorenta {

struct SetupApi {
    std::function<HDEVINFO(const GUID*, PCWSTR, HWND, DWORD)> getClassDevs = ::SetupDiGetClassDevsW;
    std::function<BOOL(HDEVINFO, DWORD, PSP_DEVINFO_DATA)> enumDeviceInfo = ::SetupDiEnumDeviceInfo;
    std::function<BOOL(HDEVINFO, PSP_DEVINFO_DATA, PWSTR, DWORD, PDWORD)> getDeviceInstanceId =
        ::SetupDiGetDeviceInstanceIdW;
    std::function<BOOL(HDEVINFO, PSP_DEVINFO_DATA, DWORD, PDWORD, PBYTE, DWORD, PDWORD)>
        getDeviceRegistryProperty = ::SetupDiGetDeviceRegistryPropertyW;
    std::function<HKEY(HDEVINFO, PSP_DEVINFO_DATA, DWORD, DWORD, DWORD, REGSAM)> openDevRegKey =
        ::SetupDiOpenDevRegKey;
    std::function<LSTATUS(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)> regQueryValueEx =
        ::RegQueryValueExW;
    std::function<LSTATUS(HKEY)> regCloseKey = ::RegCloseKey;
    std::function<BOOL(HDEVINFO)> destroyDeviceInfoList = ::SetupDiDestroyDeviceInfoList;
    std::function<CONFIGRET(PDEVINST, DEVINST, ULONG)> getParent = ::CM_Get_Parent;
    std::function<CONFIGRET(DEVINST, PWCHAR, ULONG, ULONG)> getDeviceId = ::CM_Get_Device_IDW;
    std::function<CONFIGRET(PULONG, PULONG, DEVINST, ULONG)> getDevNodeStatus =
        ::CM_Get_DevNode_Status;
};

}  // namespace vorenta
