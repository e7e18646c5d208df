#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// What names one version of a firmware file for a record: its size, its date
// and its SHA-256.
struct FirmwareFingerprint {
    std::uint64_t size = 0;
    std::optional<LocalTime> modified;  // nothing: the date cannot be read
    std::string sha256;                 // lower-case hex
};

// Reads the whole file once; nothing when it cannot be opened or read.
std::optional<FirmwareFingerprint> FingerprintFirmware(IFileSystem& files, const std::string& path);

}  // namespace vorenta
