#pragma once

#include <cstdint>

#include "platform/Dcb.h"
#include "platform/PortTable.h"
#include "platform/SerialDevice.h"
#include "platform/TickSource.h"

namespace vorenta {

// The one serial port the utility talks to the base station through: open at
// a speed and frame format, raw writes, data wrapped in the base station's
// packet frame, reads that never wait, purges and waits.
// Results follow the dialog API convention: 1 for success, 0 for failure.
class CRS232 {
  public:
    CRS232(ISerialDevice& device, IPortTable& ports, ITickSource& clock);
    virtual ~CRS232();
    CRS232(const CRS232&) = delete;
    CRS232& operator=(const CRS232&) = delete;

    int Open(int portNumber, int baudRate, int parityLetter, int dataBits, int stopBits);
    void Close();
    int SetLineSettings(int baudRate, int parityLetter, int dataBitsChar);
    int WriteString(const char* text);
    int WriteBytes(const std::uint8_t* buffer, int count);
    // 1 when every frame went out whole (or there was nothing to send), else 0.
    int SendPacket(const std::uint8_t* buffer, int count);
    void SendPacketText(const char* text);
    unsigned BytesWaiting();
    unsigned Read(std::uint8_t* buffer, unsigned maxCount);
    // Sleeps until a received byte is waiting or `ms` have passed, whichever
    // comes first (a signal may end it sooner); callers measure time themselves.
    void WaitForInput(unsigned ms);
    int PurgeInput();
    void PurgeAndWait(unsigned ms);
    int GetPortNumber() const;

    // The device path the last Open reached (empty when the table had none).
    const std::string& DevicePath() const { return devicePath_; }
    // The device reported an error since the last Open (an adapter pulled, a
    // line closed at the other end).
    bool DeviceReportedError() const { return deviceError_; }

    int portNumber = 0;
    Dcb dcb{};
    int isOpen = 0;
    int inQueueSize = 0;
    int outQueueSize = 0;

  private:
    ISerialDevice& device_;
    IPortTable& ports_;
    ITickSource& clock_;
    std::string devicePath_;
    bool deviceError_ = false;
};

}  // namespace vorenta
