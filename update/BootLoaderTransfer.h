#pragma once

#include <cstdint>
#include <functional>

#include "update/OutcomeTexts.h"
#include "update/SessionParts.h"

namespace vorenta {

// The exchange with the module's boot loader once it has answered the poll:
// identification, ready byte, the pages with address, checksum and reply, and
// the end marker; and how every transfer ends.
class BootLoaderTransfer {
  public:
    explicit BootLoaderTransfer(const SessionParts& parts) : parts_(parts) {}

    // Runs the whole transfer; 1 after success, 0 after any failure. The
    // operator has been told the outcome when it returns.
    int TransferFirmware();
    // The base released, the port closed, the port buttons enabled again and
    // a lent port given back.
    void FinishSession();

    // Asked while the transfer waits; when it says so, the transfer ends with
    // its failure report (the operator stopped it, or the program must end).
    std::function<bool()> transferInterruptRequested;

  private:
    enum class ByteWait { Received, TimedOut, ReadFailed, Interrupted };

    // Waits up to `timeoutMs` for one byte of the boot loader's reply.
    ByteWait WaitForByte(std::uint32_t timeoutMs, std::uint8_t& byte);
    bool InterruptRequested() const;
    void DelayMs(std::uint32_t ms);
    void ReportFailure(TransferFailure failure);
    void ReportTemporaryFileFailure();
    void ReportSuccess();

    SessionParts parts_;
};

}  // namespace vorenta
