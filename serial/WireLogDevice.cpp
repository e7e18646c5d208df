#include "serial/WireLogDevice.h"

#include <array>
#include <cstdio>

#include "common/Hex.h"
#include "common/PrintableText.h"

namespace vorenta {

std::string WireLogLine(std::uint32_t ms, std::string_view what, std::string_view detail) {
    std::array<char, 32> stamp{};
    std::snprintf(stamp.data(), stamp.size(), "%10u ms %-5.*s", ms, static_cast<int>(what.size()),
                  what.data());
    std::string line(stamp.data());
    line += ' ';
    // Details name devices and quote files: one line each, nothing a terminal acts on.
    line += PrintableLine(detail);
    return line + '\n';
}

class WireLogDevice::FileTrace : public IWireTrace {
  public:
    FileTrace(ITickSource& clock, IFile& log)
        : clock_(clock), log_(log), start_(clock.GetTickCount()) {}

    void Trace(std::string_view what, std::string_view detail) override {
        const std::string line =
            WireLogLine(TicksSince(start_, clock_.GetTickCount()), what, detail);
        // Written at once, so a killed process leaves every line before it.
        const long written =
            log_.Write(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
        complete_ = complete_ && written == static_cast<long>(line.size());
    }

    bool Complete() const { return complete_; }

  private:
    ITickSource& clock_;
    IFile& log_;
    std::uint32_t start_;
    bool complete_ = true;
};

WireLogDevice::WireLogDevice(ISerialDevice& inner, IWireTrace& trace)
    : inner_(inner), trace_(trace) {}

WireLogDevice::WireLogDevice(ISerialDevice& inner, ITickSource& clock, IFile& log)
    : inner_(inner), ownTrace_(std::make_unique<FileTrace>(clock, log)), trace_(*ownTrace_) {}

bool WireLogDevice::Complete() const {
    return ownTrace_ == nullptr || ownTrace_->Complete();
}

WireLogDevice::~WireLogDevice() = default;

void WireLogDevice::Note(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end != 0) {
            trace_.Trace("NOTE", text.substr(0, end));
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}

bool WireLogDevice::Open(const std::string& devicePath) {
    const bool opened = inner_.Open(devicePath);
    trace_.Trace("OPEN", devicePath + (opened ? "" : " (failed)"));
    return opened;
}

void WireLogDevice::Close() {
    if (inner_.IsOpen()) {
        trace_.Trace("CLOSE", "");
    }
    inner_.Close();
}

bool WireLogDevice::ApplySettings(const Dcb& dcb) {
    static constexpr char kParity[] = "NOEMS";
    const char parity = dcb.Parity < 5 ? kParity[dcb.Parity] : '?';
    trace_.Trace("LINE", std::to_string(dcb.BaudRate) + " " + std::to_string(dcb.ByteSize) +
                             parity + (dcb.StopBits == TWOSTOPBITS ? "2" : "1"));
    return inner_.ApplySettings(dcb);
}

namespace {
// "DTR on", or "DTR on (refused)" where the device has no such line (a pty).
std::string ModemLineText(std::string_view line, bool raised, bool done) {
    return std::string(line) + (raised ? " on" : " off") + (done ? "" : " (refused)");
}
}  // namespace

bool WireLogDevice::SetDtr(bool raised) {
    const bool done = inner_.SetDtr(raised);
    trace_.Trace("MODEM", ModemLineText("DTR", raised, done));
    return done;
}

bool WireLogDevice::SetRts(bool raised) {
    const bool done = inner_.SetRts(raised);
    trace_.Trace("MODEM", ModemLineText("RTS", raised, done));
    return done;
}

long WireLogDevice::Write(const std::uint8_t* data, std::size_t count) {
    const long written = inner_.Write(data, count);
    trace_.Trace("TX", HexBytes({data, count}) + (written < 0 ? " (write failed)" : ""));
    return written;
}

long WireLogDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    const long n = inner_.Read(buffer, maxCount);
    if (n > 0) {
        trace_.Trace("RX", HexBytes({buffer, static_cast<std::size_t>(n)}));
    } else if (n < 0) {
        trace_.Trace("RX", "(read failed)");
    }
    return n;
}

bool WireLogDevice::PurgeOutput() {
    trace_.Trace("PURGE", "output");
    return inner_.PurgeOutput();
}

bool WireLogDevice::PurgeInput() {
    trace_.Trace("PURGE", "input");
    return inner_.PurgeInput();
}

}  // namespace vorenta
