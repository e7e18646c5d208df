// The exchange with the module's boot loader once it has answered the poll:
// identification, ready byte, the pages with address, checksum and reply, and
// the end marker.
#include "update/BootLoaderTransfer.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "update/BootLoaderProtocol.h"

namespace vorenta {

namespace {

// The longest sleep of a wait for a reply, so an interrupt is seen soon.
constexpr std::uint32_t kReplySleepSliceMs = 50;

// A reply byte that is already waiting (a doubled '!' on a noisy line) belongs
// to an earlier send; taken as the next page's reply it could accept a page the
// module never took. It is read off the line, so the log shows it, and dropped.
void DiscardStaleInput(CRS232& port, ISessionEvents& events, std::uint64_t pageNumber) {
    std::vector<std::uint8_t> stale;
    std::array<std::uint8_t, 64> chunk{};
    // Bounded, so a line that never stops talking cannot hold the transfer here.
    for (int reads = 0; reads < 16 && port.BytesWaiting() > 0; ++reads) {
        const unsigned got = port.Read(chunk.data(), static_cast<unsigned>(chunk.size()));
        if (got == 0) {
            break;
        }
        stale.insert(stale.end(), chunk.begin(), chunk.begin() + got);
    }
    if (stale.empty()) {
        return;
    }
    port.PurgeInput();
    events.OnInputDiscarded(pageNumber + 1, stale);
}

// Reads exactly `count` bytes unless the file ends or fails first.
bool ReadWhole(IFile& file, std::uint8_t* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const long n = file.Read(buffer + done, count - done);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool BootLoaderTransfer::InterruptRequested() const {
    return transferInterruptRequested && transferInterruptRequested();
}

void BootLoaderTransfer::DelayMs(std::uint32_t ms) {
    vorenta::DelayMs(parts_.clock, ms);
}

BootLoaderTransfer::ByteWait BootLoaderTransfer::WaitForByte(std::uint32_t timeoutMs,
                                                             std::uint8_t& byte) {
    CRS232& serialPort = parts_.serialPort;
    const std::uint32_t start = parts_.clock.GetTickCount();
    for (;;) {
        if (serialPort.BytesWaiting() > 0) {
            return serialPort.Read(&byte, 1) == 1 ? ByteWait::Received : ByteWait::ReadFailed;
        }
        const std::uint32_t waited = TicksSince(start, parts_.clock.GetTickCount());
        // No reply can come over a line that is gone: the wait ends as if its time were up.
        if (waited >= timeoutMs || serialPort.DeviceReportedError()) {
            return ByteWait::TimedOut;
        }
        if (InterruptRequested()) {
            return ByteWait::Interrupted;
        }
        serialPort.WaitForInput(std::min(timeoutMs - waited, kReplySleepSliceMs));
    }
}

int BootLoaderTransfer::TransferFirmware() {
    namespace bl = bootloader;
    CRS232& serialPort = parts_.serialPort;
    ISessionDisplay& display = parts_.display;
    ISessionEvents& events = parts_.reporter.Events();
    WaitCursor wait(parts_.window);

    // Phase 0: the firmware file is still there; drop what the extra poll brought.
    const bool firmwareReadable =
        parts_.files.Open(parts_.firmware.FirmwarePath(), OpenMode::ReadExisting) != nullptr;
    if (!firmwareReadable) {
        // Leave the base station and the port as an ended session would.
        FinishSession();
        parts_.firmware.CheckFirmwareFile();
        return 0;
    }
    if (parts_.firmware.CheckFirmwareFile() == 0) {
        FinishSession();
        return 0;
    }
    // A firmware file replaced since arming: send what the firmware line shows.
    if (parts_.pageImage.RefreshPageImage() == 0) {
        FinishSession();
        return 0;
    }
    if (const auto& copied = parts_.pageImage.CopiedFirmware()) {
        events.OnTransferBegun(
            {parts_.firmware.FirmwarePath(), parts_.firmware.firmwareVersion, *copied});
    }
    display.SetSessionLine(SessionLine::BootLoader, "");
    display.SetSessionLine(SessionLine::Progress, "");
    display.SetSessionLine(SessionLine::Status, "");
    DelayMs(bl::kSettleBeforePurgeMs);
    serialPort.PurgeInput();
    const std::string target(bl::kTargetIdentification);
    if (serialPort.SendPacket(reinterpret_cast<const std::uint8_t*>(target.data()),
                              static_cast<int>(target.size())) == 0) {
        ReportFailure(TransferFailure::NoResponseWithHint);
        return 0;
    }
    DelayMs(bl::kAfterIdentificationMs);

    // Phase 1: the boot loader's identification line, one time-out for all of it.
    std::string identification;
    bool overlong = false;
    const std::uint32_t identificationStart = parts_.clock.GetTickCount();
    for (;;) {
        const std::uint32_t waited = TicksSince(identificationStart, parts_.clock.GetTickCount());
        if (waited >= bl::kIdentificationTimeoutMs || serialPort.DeviceReportedError()) {
            ReportFailure(TransferFailure::NoResponseWithHint);
            return 0;
        }
        if (InterruptRequested()) {
            ReportFailure(TransferFailure::Interrupted);
            return 0;
        }
        if (serialPort.BytesWaiting() == 0) {
            serialPort.WaitForInput(
                std::min(bl::kIdentificationTimeoutMs - waited, kReplySleepSliceMs));
            continue;
        }
        std::uint8_t byte = 0;
        if (serialPort.Read(&byte, 1) != 1) {
            ReportFailure(TransferFailure::InvalidVersion);
            return 0;
        }
        if (byte == bl::kIdentificationEnd) {
            if (overlong || identification != bl::kBootLoaderIdentification) {
                ReportFailure(TransferFailure::InvalidVersion);
                return 0;
            }
            break;
        }
        // Never hold more than the expected characters; a longer line is invalid.
        if (identification.size() < bl::kBootLoaderIdentification.size()) {
            identification.push_back(static_cast<char>(byte));
        } else {
            overlong = true;
        }
    }
    events.OnModuleAnswered(identification);

    // Phase 2: the ready byte.
    display.SetSessionLine(SessionLine::Step, "");
    std::uint8_t reply = 0;
    switch (WaitForByte(bl::kReadyTimeoutMs, reply)) {
        case ByteWait::TimedOut:
            ReportFailure(TransferFailure::NoReady);
            return 0;
        case ByteWait::ReadFailed:
            ReportFailure(TransferFailure::InvalidReady);
            return 0;
        case ByteWait::Interrupted:
            ReportFailure(TransferFailure::Interrupted);
            return 0;
        case ByteWait::Received:
            if (reply != bl::kReadyByte) {
                ReportFailure(TransferFailure::InvalidReady);
                return 0;
            }
            break;
    }

    // Phase 3: the page image.
    auto image = parts_.pageImage.OpenPageImage();
    const int pageSize = parts_.pageImage.pageSize;
    if (!image || !image->Seek(0) || !image->Length() || pageSize <= 0) {
        image.reset();
        ReportTemporaryFileFailure();
        return 0;
    }
    const auto size = static_cast<std::uint32_t>(pageSize);
    const std::uint64_t pageCount = *image->Length() / size;
    if (pageCount == 0) {
        image.reset();
        ReportFailure(TransferFailure::EmptyImage);
        return 0;
    }

    // Phase 4: the pages.
    std::vector<std::uint8_t> page(size);
    std::uint64_t pageNumber = 0;
    int repeats = 0;
    for (;;) {
        if (InterruptRequested()) {
            image.reset();
            ReportFailure(TransferFailure::Interrupted);
            return 0;
        }
        if (repeats == 0) {
            // The window shows it and lets one waiting message through.
            events.OnPageSending(pageNumber + 1, pageCount);
            // A page that cannot be read whole must never go out half made up.
            if (!image->Seek(pageNumber * size) || !ReadWhole(*image, page.data(), size)) {
                image.reset();
                ReportTemporaryFileFailure();
                return 0;
            }
        }
        const auto address = bl::PageAddress(static_cast<std::uint32_t>(pageNumber), size);
        const std::uint8_t checksum = bl::PageChecksum(page.data(), page.size());
        DelayMs(bl::kSendPauseMs);
        DiscardStaleInput(serialPort, events, pageNumber);
        // The first write that fails ends the transfer: the rest of the page would
        // go nowhere, and no reply can come.
        bool sent = serialPort.SendPacket(address.data(), static_cast<int>(address.size())) != 0;
        if (sent) {
            DelayMs(bl::kSendPauseMs);
            sent = serialPort.SendPacket(page.data(), static_cast<int>(page.size())) != 0;
        }
        if (sent) {
            DelayMs(bl::kSendPauseMs);
            sent = serialPort.SendPacket(&checksum, 1) != 0;
        }
        if (!sent) {
            image.reset();
            ReportFailure(TransferFailure::NoResponse);
            return 0;
        }
        DelayMs(bl::kSendPauseMs);

        reply = 0;
        const ByteWait got = WaitForByte(bl::kPageReplyTimeoutMs, reply);
        if (got == ByteWait::TimedOut) {
            image.reset();
            ReportFailure(TransferFailure::NoResponse);
            return 0;
        }
        if (got == ByteWait::Interrupted) {
            image.reset();
            ReportFailure(TransferFailure::Interrupted);
            return 0;
        }
        if (got == ByteWait::ReadFailed) {
            reply = 0;
        }
        if (reply == bl::kReadyByte) {
            repeats = 0;
            ++pageNumber;
            if (pageNumber == pageCount) {
                break;
            }
            continue;
        }
        if (reply == bl::kRetryByte && ++repeats < bl::kMaxSendsPerPage) {
            events.OnPageResent(pageNumber + 1);
            continue;
        }
        image.reset();
        ReportFailure(TransferFailure::InvalidReady);
        return 0;
    }

    // Phase 5: the end marker; no reply is awaited, but it must have left, or
    // the module may still be waiting for it.
    if (serialPort.SendPacket(bl::kEndMarker.data(), static_cast<int>(bl::kEndMarker.size())) ==
        0) {
        image.reset();
        ReportFailure(TransferFailure::NoResponse);
        return 0;
    }
    DelayMs(bl::kSendPauseMs);
    image.reset();
    parts_.ports.SavePortNumber(serialPort.GetPortNumber());
    ReportSuccess();
    return 1;
}

}  // namespace vorenta
