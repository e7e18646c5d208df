#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "firmware/FirmwareFingerprint.h"
#include "platform/FileAccess.h"

namespace vorenta {

// One session's page image: the private folder it lives in, the file itself,
// held open and locked from building to the end of the session, which version
// of the firmware file it was built from, and a digest of every page as it was
// written, so bytes changed behind the session's back are never sent.
struct HeldPageImage {
    // Declared before the file: the file is closed before its folder goes.
    std::unique_ptr<ISessionFolder> folder;
    std::unique_ptr<IFile> file;
    std::optional<FileIdentity> builtFrom;
    // The bytes copied in (before the padding): what the records name as sent.
    std::optional<FirmwareFingerprint> copied;
    std::vector<std::uint64_t> pageDigests;
    std::size_t pageSize = 0;
};

// Digest of one page (64-bit FNV-1a).
std::uint64_t PageDigest(const std::uint8_t* data, std::size_t size);

// A read-only view of a held page image for the transfer: reads whole pages
// only, the image's length is its length as built, and a read fails when a
// page no longer holds what was written.
std::unique_ptr<IFile> MakeCheckedPageImageReader(HeldPageImage& image);

}  // namespace vorenta
