#include <string>

#include "firmware/FirmwareDate.h"
#include "firmware/FirmwareDescription.h"
#include "firmware/FirmwareTexts.h"

namespace vorenta {

int FirmwareDescription::CheckFirmwareFile() {
    const std::string path = programDir + firmwareFileName;

    int result = 0;
    std::string dateText;
    checkedFirmware_.reset();
    if (const auto file = files_.Open(path, OpenMode::ReadExisting)) {
        // The version shown; the transfer sends no other.
        checkedFirmware_ = file->Identity();
        // A time that cannot be read still lets the check pass; the line
        // then shows the name alone.
        if (const auto modified = file->ModificationTime()) {
            dateText = FormatFirmwareDate(*modified);
        }
        result = 1;
    } else {
        std::string message(firmware::kFirmwareFileOpenFailed);
        message += firmware::kPathIndent;
        message += firmwareFileName;
        message += firmware::kFirmwareFileNameEnd;
        display_.RefuseUpdate(message, firmware::FileMessageCaption(), MessageIcon::Warning);
        display_.DisableUpdate();
    }

    display_.ShowFirmwareFile(std::string(firmware::kFirmwareFileLabel) + firmwareFileName +
                              dateText);
    return result;
}

}  // namespace vorenta
