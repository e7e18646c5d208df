#pragma once

#include <optional>
#include <string>

#include "firmware/FirmwareDisplay.h"
#include "platform/FileAccess.h"

namespace vorenta {

// The firmware description file beside the program and the firmware file it
// names: read at the window's start, checked again before every update.
class FirmwareDescription {
  public:
    FirmwareDescription(IFileSystem& files, IFirmwareDisplay& display)
        : files_(files), display_(display) {}

    // Reads the version (line 1) and the firmware file's name (line 2), shows
    // them, and checks the firmware file; a file that cannot be used empties
    // both and disables the update.
    void LoadFirmwareDescription();
    // Opens the firmware file, shows its name and date; 1 when it can be
    // opened, else 0 after a message, with the update disabled.
    int CheckFirmwareFile();

    // Which version of the firmware file the last successful check saw: what
    // the firmware line shows and what a transfer must send.
    const std::optional<FileIdentity>& CheckedFirmware() const { return checkedFirmware_; }
    std::string FirmwarePath() const { return programDir + firmwareFileName; }

    std::string programDir;  // with its trailing separator
    std::string firmwareVersion;
    std::string firmwareFileName;

  private:
    IFileSystem& files_;
    IFirmwareDisplay& display_;
    std::optional<FileIdentity> checkedFirmware_;
};

}  // namespace vorenta
