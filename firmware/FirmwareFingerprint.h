#pragma once

#include <cstdint>
#include <functional>
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

// Reads the whole file once; nothing when it cannot be opened or read, or
// when `stopRequested` says so between two chunks. A file larger than a module
// takes is never sent: it is measured, not hashed (the SHA-256 stays empty).
std::optional<FirmwareFingerprint> FingerprintFirmware(
    IFileSystem& files, const std::string& path, const std::function<bool()>& stopRequested = {});

}  // namespace vorenta
