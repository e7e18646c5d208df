#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/FileAccess.h"
#include "platform/SerialDevice.h"
#include "platform/TickSource.h"

namespace vorenta {

// Passes everything to the real device and writes every byte sent and
// received, every line setting and open/close, with a millisecond time stamp.
class WireLogDevice : public ISerialDevice {
  public:
    WireLogDevice(ISerialDevice& inner, ITickSource& clock, IFile& log);

    // Every line reached the log file so far.
    bool Complete() const { return complete_; }

    bool Open(const std::string& devicePath) override;
    void Close() override;
    bool IsOpen() const override { return inner_.IsOpen(); }
    bool ApplySettings(const Dcb& dcb) override;
    bool SetDtr(bool raised) override { return inner_.SetDtr(raised); }
    bool SetRts(bool raised) override { return inner_.SetRts(raised); }
    long Write(const std::uint8_t* data, std::size_t count) override;
    long BytesWaiting() override { return inner_.BytesWaiting(); }
    long Read(std::uint8_t* buffer, std::size_t maxCount) override;
    bool PurgeOutput() override;
    bool PurgeInput() override;

    // A message the operator was shown, one log line per line of text.
    void Note(std::string_view text);

  private:
    void Line(const char* what, const std::string& detail);
    static std::string Hex(const std::uint8_t* data, std::size_t count);

    ISerialDevice& inner_;
    ITickSource& clock_;
    IFile& log_;
    std::uint32_t start_;
    bool complete_ = true;
};

}  // namespace vorenta
