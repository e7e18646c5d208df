#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/FakeClock.h"
#include "platform/fake/MemorySerialDevice.h"
#include "serial/CRS232.h"
#include "serial/StaticPortTable.h"

namespace vorenta::test {

inline constexpr int kComA = 3;
inline constexpr int kComB = 4;
inline constexpr int kComUnknown = 9;

// A port object over the in-memory line, with two known COM numbers.
struct SerialRig {
    explicit SerialRig(std::uint32_t startTick = 0) : clock(startTick) {}

    FakeClock clock;
    MemorySerialDevice device{clock};
    StaticPortTable ports{{{kComA, "/dev/ttyFAKE3"}, {kComB, "/dev/ttyFAKE4"}}};
    CRS232 port{device, ports, clock};

    void OpenSession() { ASSERT_EQ(port.Open(kComA, 38400, 'N', 8, 1), 1); }
};

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace vorenta::test
