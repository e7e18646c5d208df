// Borrowing a port from the maker's serial test program and giving it back:
// its windows are found by title and asked with a posted message.
#include "serial/PortHandoff.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/TextCompare.h"

namespace vorenta {

namespace {

constexpr std::array<std::string_view, 2> kSerialTestProgramTitles = {"Harwen Linkscope",
                                                                      "Harwen Serial Test Program"};
// Titles are read into a buffer of this many characters, terminator included.
constexpr std::size_t kTitleBufferChars = 100;

constexpr std::uint32_t kPortHandoffMessage = 0x8065;
constexpr std::uint32_t kReleasePortRequest = 1001;
constexpr std::uint32_t kTakePortBackNotice = 1002;
// Time the other program gets to close the port before it is opened again.
constexpr std::uint32_t kReleaseWaitMs = 1000;
constexpr std::string_view kReleaseRequestedLog = "Asked the serial test program to release COM";

bool IsSerialTestProgramWindow(const PeerWindow& window) {
    if (!window.visible) {
        return false;
    }
    const std::string_view title = std::string_view(window.title).substr(0, kTitleBufferChars - 1);
    if (title.empty()) {
        return false;
    }
    return std::any_of(
        kSerialTestProgramTitles.begin(), kSerialTestProgramTitles.end(),
        [&](std::string_view prefix) { return StartsWithIgnoringCase(title, prefix); });
}

// Posts the message to every window of the serial test program; true when
// there was at least one.
bool TellSerialTestProgram(IPeerWindows& peers, std::uint32_t request, int comNumber) {
    bool found = false;
    for (const PeerWindow& window : peers.TopLevelWindows()) {
        if (IsSerialTestProgramWindow(window)) {
            // A window that has just closed fails silently.
            peers.PostMessage(window.handle, kPortHandoffMessage, request, comNumber);
            found = true;
        }
    }
    return found;
}

}  // namespace

void PortHandoff::RequestPortRelease(int comNumber) {
    if (TellSerialTestProgram(peers_, kReleasePortRequest, comNumber)) {
        lentPort = comNumber;
        window_.Log(std::string(kReleaseRequestedLog) + std::to_string(comNumber));
        // A real sleep: the other program needs the time to close the port.
        clock_.Sleep(kReleaseWaitMs);
    }
}

void PortHandoff::ReturnLentPort() {
    if (lentPort == kNoPort) {
        return;
    }
    TellSerialTestProgram(peers_, kTakePortBackNotice, lentPort);
    lentPort = kNoPort;
}

}  // namespace vorenta
