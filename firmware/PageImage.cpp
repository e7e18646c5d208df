#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/FirmwareTexts.h"
#include "ui/UpdateDlg.h"

namespace vorenta {

namespace {

enum class CopyResult { Done, ReadFailed, WriteFailed };

struct CopyOutcome {
    CopyResult result = CopyResult::Done;
    std::uint64_t pagesWritten = 0;
};

// Copies the source into whole pages, the last one filled up with 0xFF.
CopyOutcome CopyPages(IFile& source, IFile& image, std::size_t pageSize) {
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
        std::fill(page.begin(), page.end(), firmware::kPadByte);
        const long n = source.Read(page.data(), page.size());
        if (n < 0) {
            outcome.result = CopyResult::ReadFailed;
            return outcome;
        }
        if (n == 0) {
            break;
        }
        if (image.Write(page.data(), page.size()) != static_cast<long>(page.size())) {
            outcome.result = CopyResult::WriteFailed;
            return outcome;
        }
        ++outcome.pagesWritten;
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

std::string PageCountMismatchText(std::uint64_t required, std::uint64_t written) {
    char text[160];
    const int length = std::snprintf(text, sizeof text, firmware::kPageCountMismatchFormat,
                                     static_cast<int>(required), static_cast<int>(written));
    return length < 0 ? std::string() : std::string(text);
}

}  // namespace

int CPLSM_UpdateDlg::BuildPageImage(std::string firmwareFile) {
    constexpr std::string_view caption = texts::kUpdateErrorCaption;
    const std::string sourcePath = programDir + firmwareFile;
    const std::string imagePath = tempDir + std::string(firmware::kPageImageFileName);

    CopyOutcome outcome;
    std::uint64_t pagesRequired = 0;
    {
        const auto source = platform_.files.Open(sourcePath, OpenMode::ReadExisting);
        if (!source) {
            // An image left from an earlier attempt must not be sent.
            DeletePageImage();
            platform_.window.MessageBox(firmware::kSourceOpenFailed, caption, MessageIcon::None);
            return 0;
        }
        const auto image = platform_.files.Open(imagePath, OpenMode::CreateTruncateReadWrite);
        if (!image) {
            platform_.window.MessageBox(firmware::kImageCreateFailed, caption, MessageIcon::None);
            return 0;
        }

        const std::optional<std::uint64_t> length = source->Length();
        if (!length) {
            outcome.result = CopyResult::ReadFailed;
        } else if (pageSize <= 0) {
            // No page can hold a byte: nothing sensible can be written.
            outcome.result = CopyResult::WriteFailed;
        } else {
            const auto size = static_cast<std::uint64_t>(pageSize);
            pagesRequired = (*length + size - 1) / size;
            outcome = CopyPages(*source, *image, static_cast<std::size_t>(pageSize));
        }
    }

    if (outcome.result != CopyResult::Done) {
        // Half an image must never reach the module: remove it, then say why.
        DeletePageImage();
        platform_.window.MessageBox(outcome.result == CopyResult::ReadFailed
                                        ? firmware::kSourceReadFailed
                                        : firmware::kImageWriteFailed,
                                    caption, MessageIcon::None);
        return 0;
    }
    if (outcome.pagesWritten != pagesRequired) {
        // The file changed length while it was copied. The image stays; the
        // cancellation that follows removes it.
        platform_.window.MessageBox(PageCountMismatchText(pagesRequired, outcome.pagesWritten),
                                    applicationName_, MessageIcon::None);
        return 0;
    }
    return 1;
}

void CPLSM_UpdateDlg::DeletePageImage() {
    // Nothing to report: a file that will not go is left for the next build,
    // which empties it.
    platform_.files.RemoveFile(tempDir + std::string(firmware::kPageImageFileName));
}

}  // namespace vorenta
