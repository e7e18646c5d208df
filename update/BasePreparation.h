#pragma once

#include <cstdint>

#include "platform/TickSource.h"
#include "serial/CRS232.h"
#include "serial/SessionLine.h"

namespace vorenta {

// Base-station commands, written raw (not in a packet frame) and without terminator.
inline constexpr char kBaseSpeedCommand[] = "<<$:U9";
inline constexpr char kBaseWakeCommand[] = "<\r";
inline constexpr char kBaseRelayCommand[] = "<<RS<#C14";
inline constexpr char kBaseReleaseCommand[] = "<W";

// The speed command goes out at these two speeds before the base is reached at the session speed.
inline constexpr int kBaseFirstSpeed = 9600;
inline constexpr int kBaseSecondSpeed = 19200;

// Waits, in milliseconds.
inline constexpr std::uint32_t kBaseCommandSettleMs = 200;
inline constexpr std::uint32_t kBasePurgeSettleMs = 10;
inline constexpr std::uint32_t kBaseRelaySettleHalfMs = 500;
inline constexpr std::uint32_t kBaseReleaseSettleMs = 200;

// Puts the base station on the open port into relay mode and leaves the port at
// 38400 bits per second, no parity, 8 data bits, 1 stop bit. No reply is read:
// every answer is discarded by the purges. Takes at least 1840 ms.
void PrepareBaseStation(CRS232& port, ITickSource& clock);

// Tells the base station the session is over; the caller closes the port afterwards.
void ReleaseBase(CRS232& port, ITickSource& clock);

}  // namespace vorenta
