#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "firmware/FirmwareDescription.h"
#include "firmware/FirmwareDisplay.h"
#include "firmware/FirmwareTexts.h"
#include "firmware/HeldPageImage.h"
#include "platform/FileAccess.h"

namespace vorenta {

// The page image of one update session: the firmware file copied into whole
// pages in a private folder of the session, held from its building to the
// end of the session.
class PageImage {
  public:
    // `applicationName` is the caption of the message about a firmware file
    // that changed length while it was copied.
    PageImage(IFileSystem& files, IFirmwareDisplay& display, FirmwareDescription& firmware,
              std::string applicationName);

    // Copies `firmwareFile` (in the program's folder) into the image; 1, or
    // 0 after a message.
    int BuildPageImage(const std::string& firmwareFile);
    // Builds the image again when the firmware file shown is not the one it
    // was built from; 0 after a message when that fails.
    int RefreshPageImage();
    // Closes the image and removes it with its folder.
    void DeletePageImage();

    // The image for the transfer to read; null when there is none.
    std::unique_ptr<IFile> OpenPageImage();
    // Pages in the image, or nothing when it cannot be opened.
    std::optional<std::uint64_t> PageCount();
    // Size, date and SHA-256 of the firmware bytes the image holds; nothing
    // when there is no whole image.
    const std::optional<FirmwareFingerprint>& CopiedFirmware() const { return image_.copied; }
    // The image's path, empty when the session holds none.
    std::string PageImagePath() const;

    std::string tempDir;  // where session folders are made, with its trailing separator
    int pageSize = firmware::kPageSize;
    // Asked between pages while the image is built: true ends the copy and
    // leaves no image (the operator stopped).
    std::function<bool()> stopRequested;

  private:
    IFileSystem& files_;
    IFirmwareDisplay& display_;
    FirmwareDescription& firmware_;
    std::string applicationName_;
    HeldPageImage image_;
};

}  // namespace vorenta
