// The Linux serial line's own part: the driver's low-latency mode, on a pty
// (the real drivers are driven in the QEMU guest of tests/vm).
#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/linux/LinuxSerialDevice.h"
#include "platform/posix/PosixPtyPair.h"
#include "platform/posix/UniqueFd.h"

namespace vorenta {
namespace {

TEST(LinuxSerialDevice, APtyHasNoLowLatencyModeAndTheLineWorksWithoutIt) {
    PosixPtyPair pty;
    ASSERT_TRUE(pty.Ok()) << pty.Error();

    // The driver's own request: a pty has no such mode, which is why the seam is there.
    const UniqueFd slave(::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    ASSERT_GE(slave.Get(), 0);
    EXPECT_EQ(DriverLowLatencyMode().Get(slave.Get()), std::nullopt);
    EXPECT_FALSE(DriverLowLatencyMode().Set(slave.Get(), true));

    // The programs' line asks the driver and goes on when it has no such mode.
    LinuxSerialDevice line;
    ASSERT_TRUE(line.Open(pty.SlavePath())) << line.LastError();
    const std::vector<std::uint8_t> bytes{0x3C, 0x57, 0x00, 0xFF};
    EXPECT_EQ(line.Write(bytes.data(), bytes.size()), static_cast<long>(bytes.size()));
    EXPECT_EQ(pty.ReadMaster(bytes.size(), 2000), bytes);
    line.Close();
    EXPECT_FALSE(line.IsOpen());
}

}  // namespace
}  // namespace vorenta
