#pragma once

#include <string_view>

// Texts shared by the window, its messages and the About dialog.
namespace vorenta::texts {

inline constexpr std::string_view kProductName = "Vorenta KT7.6 VMM & DO-232 R2 Mobile Module";
inline constexpr std::string_view kCompanyName = "Harwen Systems";
inline constexpr std::string_view kWindowTitleSuffix = " Firmware Update";
inline constexpr std::string_view kFileMessageCaptionSuffix = " Update";
inline constexpr std::string_view kUpdateErrorCaption = "Firmware Update Error";
inline constexpr std::string_view kSettingsSection = "Settings";
inline constexpr std::string_view kComPortEntry = "ComPort";

}  // namespace vorenta::texts
