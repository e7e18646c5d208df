#include "platform/win32/Win32SerialDevice.h"

#include <algorithm>
#include <limits>

#include "platform/win32/CommApi.h"
#include "platform/win32/SystemErrorText.h"

namespace vorenta {

namespace {

static_assert(sizeof(DCB) == 28, "the line-settings record has the size the driver expects");

constexpr DWORD kEventsWatched = EV_RXCHAR | EV_TXEMPTY;
// The finest period of the system timer, asked for while the port is open.
constexpr UINT kTimerPeriodMs = 1;

HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

// Every field of our record into the system's, reserved fields zero.
DCB ToSystemDcb(const Dcb& ours) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = ours.BaudRate;
    dcb.fBinary = ours.fBinary;
    dcb.fParity = ours.fParity;
    dcb.fOutxCtsFlow = ours.fOutxCtsFlow;
    dcb.fOutxDsrFlow = ours.fOutxDsrFlow;
    dcb.fDtrControl = ours.fDtrControl;
    dcb.fDsrSensitivity = ours.fDsrSensitivity;
    dcb.fTXContinueOnXoff = ours.fTXContinueOnXoff;
    dcb.fOutX = ours.fOutX;
    dcb.fInX = ours.fInX;
    dcb.fErrorChar = ours.fErrorChar;
    dcb.fNull = ours.fNull;
    dcb.fRtsControl = ours.fRtsControl;
    dcb.fAbortOnError = ours.fAbortOnError;
    dcb.XonLim = ours.XonLim;
    dcb.XoffLim = ours.XoffLim;
    dcb.ByteSize = ours.ByteSize;
    dcb.Parity = ours.Parity;
    dcb.StopBits = ours.StopBits;
    dcb.XonChar = ours.XonChar;
    dcb.XoffChar = ours.XoffChar;
    dcb.ErrorChar = ours.ErrorChar;
    dcb.EofChar = ours.EofChar;
    dcb.EvtChar = ours.EvtChar;
    return dcb;
}

DWORD ClampToDword(std::size_t count) {
    return static_cast<DWORD>(std::min<std::size_t>(count, std::numeric_limits<long>::max()));
}

}  // namespace

Win32SerialDevice::Win32SerialDevice()
    : ownApi_(std::make_unique<CommApi>()), api_(*ownApi_), handle_(INVALID_HANDLE_VALUE) {}

Win32SerialDevice::Win32SerialDevice(const CommApi& api)
    : api_(api), handle_(INVALID_HANDLE_VALUE) {}

Win32SerialDevice::~Win32SerialDevice() {
    Close();
}

bool Win32SerialDevice::Fail(const std::string& what) {
    return Fail(what, api_.getLastError());
}

bool Win32SerialDevice::Fail(const std::string& what, unsigned long error) {
    lastError_ = what;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        lastError_ += ": the port is in use by another program";
    } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        lastError_ += ": there is no such port";
    } else if (error != ERROR_SUCCESS) {
        lastError_ += ": " + SystemErrorText(error);
    }
    return false;
}

bool Win32SerialDevice::Open(const std::string& devicePath) {
    Close();
    // Share mode 0: a port that another program holds is refused here.
    HANDLE handle = api_.createFile(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Fail("cannot open " + devicePath);
    }
    // A name that opens but has no line settings (a file, a printer) is not a port.
    DCB current{};
    current.DCBlength = sizeof(DCB);
    if (!api_.getCommState(handle, &current)) {
        Fail(devicePath + " is not a serial port");
        api_.closeHandle(handle);
        return false;
    }
    handle_ = handle;
    lastError_.clear();
    held_.reset();
    // Sleeps and the driver's time-outs then end within a millisecond, not
    // on the next tick of a 15.625 ms timer. Given back at Close, on every
    // path a session ends by.
    timerRaised_ = api_.timeBeginPeriod(kTimerPeriodMs) == TIMERR_NOERROR;

    // As on Windows itself, the port counts as open once it is ours; what the
    // driver makes of the queue sizes, time-outs and events is not examined.
    api_.setupComm(handle, kDriverQueueSize, kDriverQueueSize);
    SetReadTimeouts(0);
    api_.setCommMask(handle, kEventsWatched);
    return true;
}

// 0: reads return at once with what is there. Otherwise a read waits until a
// byte arrives, then returns at once, or until `waitMs` have passed. Writes
// have no time-out either way.
bool Win32SerialDevice::SetReadTimeouts(std::uint32_t waitMs) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = waitMs == 0 ? 0 : MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = std::min<DWORD>(waitMs, MAXDWORD - 1);
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    return api_.setCommTimeouts(AsHandle(handle_), &timeouts) != FALSE;
}

void Win32SerialDevice::Close() {
    if (!IsOpen()) {
        return;
    }
    api_.closeHandle(AsHandle(handle_));
    handle_ = INVALID_HANDLE_VALUE;
    held_.reset();
    if (timerRaised_) {
        api_.timeEndPeriod(kTimerPeriodMs);
        timerRaised_ = false;
    }
}

bool Win32SerialDevice::IsOpen() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

bool Win32SerialDevice::ApplySettings(const Dcb& dcb) {
    if (!IsOpen()) {
        return false;
    }
    DCB system = ToSystemDcb(dcb);
    if (!api_.setCommState(AsHandle(handle_), &system)) {
        return Fail("the line settings were refused");
    }
    return true;
}

bool Win32SerialDevice::Escape(unsigned long function) {
    // Some drivers (and Wine on a pseudo-terminal) have no modem lines; the
    // caller decides whether that matters.
    return IsOpen() && api_.escapeCommFunction(AsHandle(handle_), function);
}

bool Win32SerialDevice::SetDtr(bool raised) {
    return Escape(raised ? SETDTR : CLRDTR);
}

bool Win32SerialDevice::SetRts(bool raised) {
    return Escape(raised ? SETRTS : CLRRTS);
}

long Win32SerialDevice::Write(const std::uint8_t* data, std::size_t count) {
    if (!IsOpen()) {
        return -1;
    }
    const DWORD total = ClampToDword(count);
    DWORD done = 0;
    while (done < total) {
        DWORD written = 0;
        if (!api_.writeFile(AsHandle(handle_), data + done, total - done, &written, nullptr)) {
            Fail("writing to the port failed");
            return -1;
        }
        if (written == 0) {
            // Completed without taking a byte: report it rather than spin.
            lastError_ = "the port takes no data";
            return -1;
        }
        done += written;
    }
    return static_cast<long>(done);
}

long Win32SerialDevice::BytesWaiting() {
    if (!IsOpen()) {
        return -1;
    }
    // Also clears any line error (framing, parity, overrun), which is not reported.
    DWORD errors = 0;
    COMSTAT status{};
    if (!api_.clearCommError(AsHandle(handle_), &errors, &status)) {
        Fail("the port's state cannot be read");
        return -1;
    }
    const DWORD held = held_ ? 1 : 0;
    return static_cast<long>(
        std::min<DWORD>(status.cbInQue, std::numeric_limits<long>::max() - held) + held);
}

long Win32SerialDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    if (!IsOpen()) {
        return -1;
    }
    if (maxCount == 0) {
        return 0;
    }
    const long waiting = BytesWaiting();
    if (waiting <= 0) {
        return waiting;
    }
    long done = 0;
    if (held_) {
        buffer[done++] = *held_;
        held_.reset();
    }
    // Only what the driver holds, so this ReadFile returns at once.
    const DWORD wanted = std::min(ClampToDword(maxCount - static_cast<std::size_t>(done)),
                                  static_cast<DWORD>(waiting - done));
    if (wanted == 0) {
        return done;
    }
    DWORD got = 0;
    if (!api_.readFile(AsHandle(handle_), buffer + done, wanted, &got, nullptr)) {
        Fail("reading from the port failed");
        return done > 0 ? done : -1;
    }
    return done + static_cast<long>(got);
}

bool Win32SerialDevice::WaitForInput(std::uint32_t timeoutMs) {
    const long waiting = BytesWaiting();
    if (waiting < 0) {
        return false;  // closed, or the adapter is gone
    }
    if (waiting > 0 || timeoutMs == 0) {
        return true;
    }
    if (!SetReadTimeouts(timeoutMs)) {
        Fail("the port's time-outs were refused");
        return false;
    }
    std::uint8_t byte = 0;
    DWORD got = 0;
    const BOOL read = api_.readFile(AsHandle(handle_), &byte, 1, &got, nullptr);
    const DWORD error = read ? ERROR_SUCCESS : api_.getLastError();
    // Whatever happened, reads must never wait again.
    SetReadTimeouts(0);
    if (!read) {
        return Fail("reading from the port failed", error);
    }
    if (got == 1) {
        held_ = byte;
    }
    return true;
}

bool Win32SerialDevice::PurgeOutput() {
    return IsOpen() && api_.purgeComm(AsHandle(handle_), PURGE_TXCLEAR);
}

bool Win32SerialDevice::PurgeInput() {
    if (!IsOpen()) {
        return false;
    }
    held_.reset();
    return api_.purgeComm(AsHandle(handle_), PURGE_RXCLEAR);
}

}  // namespace vorenta
