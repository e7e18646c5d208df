#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vorenta::test
