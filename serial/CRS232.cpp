#include "serial/CRS232.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "serial/PacketFrame.h"

namespace vorenta {

namespace {

constexpr std::uint32_t kDcbRecordLength = 28;
constexpr int kDriverQueueSize = 32768;
constexpr std::uint16_t kFlowLimit = 100;
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
constexpr char kErrorReplacement = static_cast<char>(0xFF);
constexpr char kEndOfFile = 0x0D;
constexpr char kEventChar = static_cast<char>(0xFF);
// How long a wait for input sleeps at a time on a line that cannot wait for bytes itself.
constexpr unsigned kInputSleepSliceMs = 5;

// Any speed outside these lists falls back to this one.
constexpr int kFallbackSpeed = 9600;
constexpr std::array kOpenSpeeds{300,   600,   1200,  2400,  4800,  9600,
                                 14400, 19200, 38400, 57600, 115200};
constexpr std::array kLineSettingSpeeds{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

template <std::size_t N>
std::uint32_t PickSpeed(const std::array<int, N>& allowed, int asked) {
    const bool known = std::find(allowed.begin(), allowed.end(), asked) != allowed.end();
    return static_cast<std::uint32_t>(known ? asked : kFallbackSpeed);
}

// Open knows all four parity kinds, SetLineSettings only even and odd; both
// take upper-case letters only and treat everything else as no parity.
std::uint8_t OpenParity(int letter) {
    switch (letter) {
        case 'E':
            return EVENPARITY;
        case 'O':
            return ODDPARITY;
        case 'M':
            return MARKPARITY;
        case 'S':
            return SPACEPARITY;
        default:
            return NOPARITY;
    }
}

std::uint8_t LineSettingParity(int letter) {
    switch (letter) {
        case 'E':
            return EVENPARITY;
        case 'O':
            return ODDPARITY;
        default:
            return NOPARITY;
    }
}

}  // namespace

CRS232::CRS232(ISerialDevice& device, IPortTable& ports, ITickSource& clock)
    : device_(device), ports_(ports), clock_(clock) {}

CRS232::~CRS232() {
    Close();
}

int CRS232::Open(int portNumberArg, int baudRate, int parityLetter, int dataBits, int stopBits) {
    Close();
    // Kept even when the open fails, so the caller can name the port it tried.
    portNumber = portNumberArg;
    devicePath_ = ports_.DevicePathFor(portNumberArg);
    deviceError_ = false;

    dcb = Dcb{};
    dcb.DCBlength = kDcbRecordLength;
    dcb.BaudRate = PickSpeed(kOpenSpeeds, baudRate);
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 1;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = 0;
    dcb.XonLim = kFlowLimit;
    dcb.XoffLim = kFlowLimit;
    dcb.ByteSize = static_cast<std::uint8_t>(dataBits);
    dcb.Parity = OpenParity(parityLetter);
    dcb.StopBits = stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.XonChar = kXon;
    dcb.XoffChar = kXoff;
    dcb.ErrorChar = kErrorReplacement;
    dcb.EofChar = kEndOfFile;
    dcb.EvtChar = kEventChar;

    if (devicePath_.empty() || !device_.Open(devicePath_)) {
        return 0;
    }
    isOpen = 1;
    inQueueSize = kDriverQueueSize;
    outQueueSize = kDriverQueueSize;
    // Like the line settings call on Windows, results here are not examined:
    // the port counts as open once the device is ours.
    device_.ApplySettings(dcb);
    device_.SetDtr(true);
    device_.SetRts(true);
    return 1;
}

void CRS232::Close() {
    if (isOpen == 0) {
        return;
    }
    device_.SetDtr(false);
    device_.SetRts(false);
    device_.Close();
    isOpen = 0;
}

int CRS232::SetLineSettings(int baudRate, int parityLetter, int dataBitsChar) {
    dcb.BaudRate = PickSpeed(kLineSettingSpeeds, baudRate);
    dcb.Parity = LineSettingParity(parityLetter);
    dcb.ByteSize = static_cast<std::uint8_t>(dataBitsChar - '0');
    if (isOpen != 0) {
        device_.ApplySettings(dcb);
    }
    return PurgeInput();
}

int CRS232::WriteString(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    return WriteBytes(reinterpret_cast<const std::uint8_t*>(text),
                      static_cast<int>(std::strlen(text)));
}

int CRS232::WriteBytes(const std::uint8_t* buffer, int count) {
    if (count < 0 || isOpen == 0) {
        return 0;
    }
    if (count == 0) {
        return 1;
    }
    if (buffer == nullptr) {
        return 0;
    }
    const auto size = static_cast<std::size_t>(count);
    const long written = device_.Write(buffer, size);
    deviceError_ = deviceError_ || written < 0;
    return written == static_cast<long>(size) ? 1 : 0;
}

int CRS232::SendPacket(const std::uint8_t* buffer, int count) {
    if (buffer == nullptr) {
        return count <= 0 ? 1 : 0;
    }
    PacketFrameBuffer frame{};
    std::size_t offset = 0;
    while (count > 0) {
        const int chunk = std::min(count, static_cast<int>(kPacketFrameMaxData));
        count -= chunk;
        const std::size_t length =
            BuildPacketFrame(buffer + offset, static_cast<std::size_t>(chunk), frame);
        // A line that failed one frame (gone, or stalled for seconds) is not asked for more.
        if (WriteBytes(frame.data(), static_cast<int>(length)) == 0) {
            return 0;
        }
        offset += static_cast<std::size_t>(chunk);
    }
    return 1;
}

void CRS232::SendPacketText(const char* text) {
    if (text == nullptr) {
        return;
    }
    SendPacket(reinterpret_cast<const std::uint8_t*>(text), static_cast<int>(std::strlen(text)));
}

unsigned CRS232::BytesWaiting() {
    if (isOpen == 0) {
        return 0;
    }
    const long waiting = device_.BytesWaiting();
    deviceError_ = deviceError_ || waiting < 0;
    return waiting > 0 ? static_cast<unsigned>(waiting) : 0U;
}

unsigned CRS232::Read(std::uint8_t* buffer, unsigned maxCount) {
    if (maxCount == 0 || buffer == nullptr) {
        return 0;
    }
    const unsigned waiting = BytesWaiting();
    if (waiting == 0) {
        return 0;
    }
    const long got = device_.Read(buffer, std::min(maxCount, waiting));
    deviceError_ = deviceError_ || got < 0;
    return got > 0 ? static_cast<unsigned>(got) : 0U;
}

void CRS232::WaitForInput(unsigned ms) {
    if (ms == 0) {
        return;
    }
    if (isOpen == 0 || !device_.WaitForInput(ms)) {
        clock_.Sleep(std::min(ms, kInputSleepSliceMs));
    }
}

int CRS232::PurgeInput() {
    if (isOpen == 0) {
        return 0;
    }
    return device_.PurgeInput() ? 1 : 0;
}

void CRS232::PurgeAndWait(unsigned ms) {
    if (isOpen == 0) {
        return;
    }
    device_.PurgeOutput();
    device_.PurgeInput();
    DelayMs(clock_, ms);
}

int CRS232::GetPortNumber() const {
    return isOpen != 0 ? portNumber : -1;
}

}  // namespace vorenta
