#include "firmware/PageImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/Sha256.h"

namespace vorenta {

namespace {

enum class CopyResult { Done, ReadFailed, WriteFailed, Stopped };

struct CopyOutcome {
    CopyResult result = CopyResult::Done;
    std::uint64_t pagesWritten = 0;
    std::uint64_t bytesCopied = 0;
    std::vector<std::uint64_t> pageDigests;
    Sha256 hash;  // of the bytes copied
};

// Firmware files replaced again and again while the transfer starts.
constexpr int kRebuildAttempts = 3;

// Copies the source into whole pages, the last one filled up with 0xFF.
CopyOutcome CopyPages(IFile& source, IFile& image, std::size_t pageSize,
                      const std::function<bool()>& stopRequested) {
    CopyOutcome outcome;
    if (!source.Seek(0)) {
        outcome.result = CopyResult::ReadFailed;
        return outcome;
    }
    if (!image.Seek(0)) {
        outcome.result = CopyResult::WriteFailed;
        return outcome;
    }
    std::vector<std::uint8_t> page(pageSize);
    for (;;) {
        if (stopRequested && stopRequested()) {
            outcome.result = CopyResult::Stopped;
            return outcome;
        }
        std::fill(page.begin(), page.end(), firmware::kPadByte);
        const long n = source.Read(page.data(), page.size());
        if (n < 0) {
            outcome.result = CopyResult::ReadFailed;
            return outcome;
        }
        if (n == 0) {
            break;
        }
        outcome.hash.Update(page.data(), static_cast<std::size_t>(n));
        outcome.bytesCopied += static_cast<std::uint64_t>(n);
        if (image.Write(page.data(), page.size()) != static_cast<long>(page.size())) {
            outcome.result = CopyResult::WriteFailed;
            return outcome;
        }
        ++outcome.pagesWritten;
        outcome.pageDigests.push_back(PageDigest(page.data(), page.size()));
        if (static_cast<std::size_t>(n) < pageSize) {
            break;
        }
    }
    // A full disk may only show when the data reaches it.
    if (!image.Flush()) {
        outcome.result = CopyResult::WriteFailed;
    }
    return outcome;
}

std::string TooLargeText(std::uint64_t length) {
    char text[200];
    const int written = std::snprintf(text, sizeof text, firmware::kSourceTooLargeFormat,
                                      static_cast<unsigned long long>(length),
                                      static_cast<unsigned long long>(firmware::kMostFirmwareBytes),
                                      static_cast<unsigned long long>(firmware::kMostPages));
    return written < 0 ? std::string() : std::string(text);
}

std::string PageCountMismatchText(std::uint64_t required, std::uint64_t written) {
    char text[160];
    const int length = std::snprintf(text, sizeof text, firmware::kPageCountMismatchFormat,
                                     static_cast<int>(required), static_cast<int>(written));
    return length < 0 ? std::string() : std::string(text);
}

}  // namespace

PageImage::PageImage(IFileSystem& files, IFirmwareDisplay& display, FirmwareDescription& firmware,
                     std::string applicationName)
    : files_(files),
      display_(display),
      firmware_(firmware),
      applicationName_(std::move(applicationName)) {}

int PageImage::BuildPageImage(const std::string& firmwareFile) {
    constexpr std::string_view caption = texts::kUpdateErrorCaption;
    const std::string sourcePath = firmware_.programDir + firmwareFile;

    CopyOutcome outcome;
    std::uint64_t pagesRequired = 0;
    {
        const auto source = files_.Open(sourcePath, OpenMode::ReadExisting);
        if (!source) {
            // An image left from an earlier attempt must not be sent.
            DeletePageImage();
            display_.RefuseUpdate(firmware::kSourceOpenFailed, caption, MessageIcon::None);
            return 0;
        }
        // Refused before anything is copied: more than a module takes would
        // fill the temporary folder and the line for hours.
        if (const auto length = source->Length();
            length && *length > firmware::kMostFirmwareBytes) {
            DeletePageImage();
            display_.RefuseUpdate(TooLargeText(*length), caption, MessageIcon::None);
            return 0;
        }
        // The session's own folder, made once and kept for the session: no
        // other session, and no file outside it, is ever touched.
        std::string why;
        if (!image_.folder) {
            image_.folder = files_.MakeSessionFolder(tempDir, why);
        }
        image_.file.reset();
        image_.builtFrom.reset();
        image_.copied.reset();
        image_.pageDigests.clear();
        if (image_.folder) {
            image_.file = image_.folder->CreateFile(firmware::kPageImageFileName);
        }
        if (!image_.file) {
            std::string message(firmware::kImageCreateFailed);
            if (!why.empty()) {
                // Which folder, and why: a wrong $TMPDIR is fixed in a moment once named.
                message += firmware::kTempFolderUnusable;
                message += tempDir;
                message += firmware::kTempFolderReason;
                message += why;
                message += '.';
            }
            display_.RefuseUpdate(message, caption, MessageIcon::None);
            return 0;
        }

        // Taken before the copy: a file changed while it is copied then
        // counts as changed, and the transfer builds its image again.
        const std::optional<FileIdentity> identity = source->Identity();
        const std::optional<std::uint64_t> length = source->Length();
        if (!length) {
            outcome.result = CopyResult::ReadFailed;
        } else if (pageSize <= 0) {
            // No page can hold a byte: nothing sensible can be written.
            outcome.result = CopyResult::WriteFailed;
        } else {
            const auto size = static_cast<std::uint64_t>(pageSize);
            pagesRequired = (*length + size - 1) / size;
            outcome =
                CopyPages(*source, *image_.file, static_cast<std::size_t>(pageSize), stopRequested);
            image_.builtFrom = identity;
            image_.copied = FirmwareFingerprint{outcome.bytesCopied, source->ModificationTime(),
                                                Sha256::Hex(outcome.hash.Finish())};
            image_.pageDigests = std::move(outcome.pageDigests);
            image_.pageSize = static_cast<std::size_t>(pageSize);
        }
    }

    if (outcome.result == CopyResult::Stopped) {
        // The operator's own stop: the cancellation that follows says it.
        DeletePageImage();
        return 0;
    }
    if (outcome.result != CopyResult::Done) {
        // Half an image must never reach the module: remove it, then say why.
        DeletePageImage();
        display_.RefuseUpdate(outcome.result == CopyResult::ReadFailed
                                  ? firmware::kSourceReadFailed
                                  : firmware::kImageWriteFailed,
                              caption, MessageIcon::None);
        return 0;
    }
    if (outcome.pagesWritten != pagesRequired) {
        // The file changed length while it was copied. The image stays; the
        // cancellation that follows removes it.
        display_.RefuseUpdate(PageCountMismatchText(pagesRequired, outcome.pagesWritten),
                              applicationName_, MessageIcon::None);
        return 0;
    }
    return 1;
}

int PageImage::RefreshPageImage() {
    if (!image_.file) {
        return 1;  // nothing held: opening the image reports it
    }
    for (int attempt = 0; attempt < kRebuildAttempts; ++attempt) {
        // Sent and shown must be the same version of the firmware file. A
        // version the platform cannot tell is not a changed one: rebuilding
        // could never make it known.
        const std::optional<FileIdentity>& shown = firmware_.CheckedFirmware();
        if (!image_.builtFrom || !shown || *image_.builtFrom == *shown) {
            return 1;
        }
        display_.Note(firmware::kFirmwareChangedNotice);
        if (BuildPageImage(firmware_.firmwareFileName) == 0 || firmware_.CheckFirmwareFile() == 0) {
            return 0;
        }
    }
    display_.RefuseUpdate(firmware::kSourceKeepsChanging, texts::kUpdateErrorCaption,
                          MessageIcon::None);
    return 0;
}

std::unique_ptr<IFile> PageImage::OpenPageImage() {
    return MakeCheckedPageImageReader(image_);
}

std::optional<std::uint64_t> PageImage::PageCount() {
    const auto file = OpenPageImage();
    if (!file) {
        return std::nullopt;
    }
    const auto length = file->Length();
    if (!length || pageSize <= 0) {
        return std::nullopt;
    }
    return *length / static_cast<std::uint64_t>(pageSize);
}

std::string PageImage::PageImagePath() const {
    if (!image_.folder) {
        return {};
    }
    return image_.folder->Path() + std::string(firmware::kPageImageFileName);
}

void PageImage::DeletePageImage() {
    // The file is closed before its folder is removed with it. Nothing to
    // report: a folder that will not go is removed by a later session.
    image_.file.reset();
    image_.folder.reset();
    image_.builtFrom.reset();
    image_.copied.reset();
    image_.pageDigests.clear();
}

}  // namespace vorenta
