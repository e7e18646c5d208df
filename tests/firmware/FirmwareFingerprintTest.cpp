#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "firmware/FirmwareFingerprint.h"
#include "platform/NativePlatform.h"
#include "tests/support/TempFolder.h"

namespace vorenta::test {
namespace {

namespace fs = std::filesystem;

TEST(FirmwareFingerprint, SizeDateAndHashOfTheFileAsItIs) {
    const TempFolder folder;
    const fs::path path = folder / "firmware.bin";
    std::ofstream(path, std::ios::binary) << "abc";
    NativeFileSystem files;
    const auto fingerprint = FingerprintFirmware(files, path.string());
    ASSERT_TRUE(fingerprint);
    EXPECT_EQ(fingerprint->size, 3U);
    EXPECT_EQ(fingerprint->sha256,
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_TRUE(fingerprint->modified.has_value());
    fs::remove(path);
    EXPECT_FALSE(FingerprintFirmware(files, path.string()));
}

TEST(FirmwareFingerprint, TooLargeToSendIsMeasuredNotHashedAndAStopEndsTheHash) {
    const TempFolder folder;
    const fs::path path = folder / "firmware.bin";
    NativeFileSystem files;
    // Sparse: a file of gigabytes costs nothing to make, and its hash would take minutes.
    std::ofstream(path, std::ios::binary).close();
    fs::resize_file(path, std::uint64_t{3} << 30);
    const auto huge = FingerprintFirmware(files, path.string());
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->size, std::uint64_t{3} << 30);
    EXPECT_EQ(huge->sha256, "");

    fs::resize_file(path, std::uint64_t{4} << 20);
    int asked = 0;
    EXPECT_FALSE(FingerprintFirmware(files, path.string(), [&asked] { return ++asked > 2; }));
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(FingerprintFirmware(files, path.string(), [] { return false; }));
}

}  // namespace
}  // namespace vorenta::test
