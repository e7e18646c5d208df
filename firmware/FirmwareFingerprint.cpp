#include "firmware/FirmwareFingerprint.h"

#include <vector>

#include "firmware/FirmwareTexts.h"
#include "firmware/Sha256.h"

namespace vorenta {

namespace {
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
}  // namespace

std::optional<FirmwareFingerprint> FingerprintFirmware(IFileSystem& files, const std::string& path,
                                                       const std::function<bool()>& stopRequested) {
    const auto file = files.Open(path, OpenMode::ReadExisting);
    if (!file || !file->Seek(0)) {
        return std::nullopt;
    }
    FirmwareFingerprint fingerprint;
    if (const auto length = file->Length(); length && *length > firmware::kMostFirmwareBytes) {
        fingerprint.size = *length;
        fingerprint.modified = file->ModificationTime();
        return fingerprint;
    }
    Sha256 hash;
    std::vector<std::uint8_t> chunk(kReadChunk);
    for (;;) {
        if (stopRequested && stopRequested()) {
            return std::nullopt;
        }
        const long n = file->Read(chunk.data(), chunk.size());
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        hash.Update(chunk.data(), static_cast<std::size_t>(n));
        fingerprint.size += static_cast<std::uint64_t>(n);
    }
    fingerprint.modified = file->ModificationTime();
    fingerprint.sha256 = Sha256::Hex(hash.Finish());
    return fingerprint;
}

}  // namespace vorenta
