#pragma once

#include <string>
#include <string_view>

// Fixed texts the update window shows after initialisation.
namespace vorenta::texts {

inline constexpr std::string_view kUseForLine =
    "Use for updating Vorenta Vantor and DO-232 R2 Mobile Modules containing the KT7.6 Radio "
    "Module via a wireless link.";

inline constexpr std::string_view kLabelNotice =
    "This update can only be used for Vantor & DO-232 R2 Mobile Modules that contain this KT7.6 "
    "logo on the product label.";

inline constexpr std::string_view kInstructions =
    "Procedure for Updating the Vorenta Vantor & DO-232 R2 Mobile Modules:\n"
    "  - Connect a Vorenta USB Base or RS-232 Base to a USB or serial port on your PC.\n"
    "  - If you connected the Base to a USB port, you may need to press the \"Refresh Serial "
    "Ports\" button.\n"
    "  - Select the appropriate serial port (only installed ports are displayed).\n"
    "\n"
    "  - Put the Mobile Module into the firmware update mode:\n"
    "       -- Press & hold the Setup button and then press & hold the Read button.\n"
    "       -- Both button should be pressed and a red and green LED should be on.\n"
    "       -- Continue to press the buttons until both LEDs turn off (about 10 seconds).\n"
    "       -- Release both buttons.\n"
    "       -- The Mobile Module LEDs should both be blinking both red & then both green.\n"
    "\n"
    "  - Press the Begin Update button below (button must be pressed within 15 seconds).\n"
    "  - Monitor the Firmware Update Status information.\n"
    "  - A message box will indicate the success of the update.\n";

inline constexpr std::string_view kAboutMenuItemPrefix = "About ";
inline constexpr std::string_view kAboutMenuItemSuffix = " Update && Contact Information...";

inline constexpr std::string_view kBeginUpdate = "Begin Update";
inline constexpr std::string_view kCancelUpdate = "Cancel Update";

// What the status line blinks while the module is polled, so that an operator
// sees the window is waiting for them and on which port.
inline constexpr std::string_view kWaitingPromptPrefix = "Waiting for the Mobile Module on COM";
inline constexpr std::string_view kWaitingPromptSuffix = ": switch it to firmware update mode";

inline std::string WaitingPromptText(int comNumber) {
    return std::string(kWaitingPromptPrefix) + std::to_string(comNumber) +
           std::string(kWaitingPromptSuffix);
}

}  // namespace vorenta::texts
