#include "platform/SystemInfo.h"

#include "platform/win32/WinApi.h"

namespace vorenta {

namespace {

// The system's own version: GetVersionEx reports what the program's manifest
// claims to support, not what runs.
using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
// Wine's loader answers this; Windows has no such export.
using WineGetVersionCall = const char*(CDECL*)();

template <typename Call>
Call NtdllExport(const char* name) {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) {
        return nullptr;
    }
    // The exports' real types are the ones declared above.
    return reinterpret_cast<Call>(reinterpret_cast<void*>(::GetProcAddress(ntdll, name)));
}

std::string ProcessorName() {
    SYSTEM_INFO info{};
    ::GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
        case PROCESSOR_ARCHITECTURE_AMD64:
            return "x86_64";
        case PROCESSOR_ARCHITECTURE_ARM64:
            return "arm64";
        case PROCESSOR_ARCHITECTURE_INTEL:
            return "x86";
        default:
            return "unknown processor";
    }
}

}  // namespace

std::string PlatformDescription() {
    std::string text = "Windows";
    if (const auto getVersion = NtdllExport<RtlGetVersionCall>("RtlGetVersion")) {
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof(version);
        if (getVersion(&version) == 0) {
            text += " " + std::to_string(version.dwMajorVersion) + "." +
                    std::to_string(version.dwMinorVersion) + "." +
                    std::to_string(version.dwBuildNumber);
        }
    }
    text += " " + ProcessorName();
    if (const auto wineVersion = NtdllExport<WineGetVersionCall>("wine_get_version")) {
        if (const char* wine = wineVersion(); wine != nullptr) {
            text += std::string(" (Wine ") + wine + ")";
        }
    }
    return text;
}

LocalTime LocalTimeNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace vorenta
