#include "WireLogDevice.h"

#include <cstdio>

namespace vorenta {

WireLogDevice::WireLogDevice(ISerialDevice& inner, ITickSource& clock, IFile& log)
    : inner_(inner), clock_(clock), log_(log), start_(clock.GetTickCount()) {}

void WireLogDevice::Line(const char* what, const std::string& detail) {
    char head[48];
    const int length = std::snprintf(head, sizeof head, "%10u ms %-5s ",
                                     TicksSince(start_, clock_.GetTickCount()), what);
    std::string line(head, length > 0 ? static_cast<std::size_t>(length) : 0U);
    line += detail;
    line += '\n';
    // Written at once, so a killed process leaves every line before it.
    const long written =
        log_.Write(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
    complete_ = complete_ && written == static_cast<long>(line.size());
}

void WireLogDevice::Note(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end != 0) {
            Line("NOTE", std::string(text.substr(0, end)));
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}

std::string WireLogDevice::Hex(const std::uint8_t* data, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0) {
            text += ' ';
        }
        text += kDigits[data[i] >> 4U];
        text += kDigits[data[i] & 0x0FU];
    }
    return text;
}

bool WireLogDevice::Open(const std::string& devicePath) {
    const bool opened = inner_.Open(devicePath);
    Line("OPEN", devicePath + (opened ? "" : " (failed)"));
    return opened;
}

void WireLogDevice::Close() {
    if (inner_.IsOpen()) {
        Line("CLOSE", "");
    }
    inner_.Close();
}

bool WireLogDevice::ApplySettings(const Dcb& dcb) {
    static constexpr char kParity[] = "NOEMS";
    const char parity = dcb.Parity < 5 ? kParity[dcb.Parity] : '?';
    Line("LINE", std::to_string(dcb.BaudRate) + " " + std::to_string(dcb.ByteSize) + parity +
                     (dcb.StopBits == TWOSTOPBITS ? "2" : "1"));
    return inner_.ApplySettings(dcb);
}

long WireLogDevice::Write(const std::uint8_t* data, std::size_t count) {
    const long written = inner_.Write(data, count);
    Line("TX", Hex(data, count) + (written < 0 ? " (write failed)" : ""));
    return written;
}

long WireLogDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    const long n = inner_.Read(buffer, maxCount);
    if (n > 0) {
        Line("RX", Hex(buffer, static_cast<std::size_t>(n)));
    } else if (n < 0) {
        Line("RX", "(read failed)");
    }
    return n;
}

bool WireLogDevice::PurgeOutput() {
    Line("PURGE", "output");
    return inner_.PurgeOutput();
}

bool WireLogDevice::PurgeInput() {
    Line("PURGE", "input");
    return inner_.PurgeInput();
}

}  // namespace vorenta
