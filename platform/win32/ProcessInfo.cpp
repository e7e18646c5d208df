#include "platform/ProcessInfo.h"

#include <array>
#include <vector>

#include "platform/win32/WinApi.h"

namespace vorenta {

namespace {

// The buffer size the temporary folder has always been read with.
constexpr DWORD kPathChars = MAX_PATH;
constexpr const char* kFallbackTempFolder = "C:\\";

}  // namespace

std::string ExecutablePath() {
    // Long paths do not fit MAX_PATH; grow until the name fits.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<char> buffer(size);
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            return std::string(buffer.data(), length);
        }
    }
    return {};
}

std::string ProcessCommandLine() {
    const char* line = ::GetCommandLineA();
    return line != nullptr ? std::string(line) : std::string();
}

std::string TemporaryFolder() {
    std::array<char, kPathChars> shortForm{};
    const DWORD shortLength = ::GetTempPathA(kPathChars, shortForm.data());
    if (shortLength == 0 || shortLength >= kPathChars) {
        return kFallbackTempFolder;
    }
    std::array<char, kPathChars> longForm{};
    const DWORD longLength = ::GetLongPathNameA(shortForm.data(), longForm.data(), kPathChars);
    if (longLength == 0 || longLength >= kPathChars) {
        return kFallbackTempFolder;
    }
    return std::string(longForm.data(), longLength);
}

bool StandardErrorIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
}

}  // namespace vorenta
