#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorenta::sim {

// The simulator's end of the serial line.
class SimLine {
  public:
    enum class WaitResult { Ready, Timeout, Stop };
    enum class ReadResult { Data, Nothing, HungUp, Failed };

    virtual ~SimLine() = default;

    // The device the updater should open.
    virtual const std::string& Path() const = 0;
    // Waits up to `timeoutMs` for the line to have something (bytes or a hang-up)
    // when `watchLine`, and for a stop request (SIGINT, SIGTERM, SIGHUP) in any case.
    virtual WaitResult Wait(int timeoutMs, bool watchLine) = 0;
    // Appends what has arrived, never waiting.
    virtual ReadResult Read(std::vector<std::uint8_t>& out) = 0;
    // Bytes taken (possibly fewer than given, 0 when the line is full); -1 when it failed.
    virtual long Write(std::span<const std::uint8_t> data) = 0;
    // Bits per second the updater has set on the line, 0 when it cannot be told.
    virtual unsigned Speed() = 0;
    // Drops the line, as a pulled cable would.
    virtual void Close() = 0;
    // Text of the last failure, for messages.
    virtual std::string LastError() const = 0;
};

}  // namespace vorenta::sim
