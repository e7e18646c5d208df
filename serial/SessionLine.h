#pragma once

namespace vorenta {

// The line format of a whole update session: the port is opened with it and
// the base station's preparation leaves the base talking it.
inline constexpr int kSessionBaudRate = 38400;
inline constexpr int kSessionParity = 'N';
inline constexpr int kSessionDataBits = 8;
inline constexpr int kSessionDataBitsChar = '8';
inline constexpr int kSessionStopBits = 1;

}  // namespace vorenta
