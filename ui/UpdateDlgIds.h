#pragma once

// Control and command ids of the update window's template (102).
namespace vorenta::ids {

inline constexpr int kUpdateTemplate = 102;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;  // "Done", Esc, the close box

inline constexpr int kBeginUpdate = 1006;
inline constexpr int kBootLoaderLine = 1007;
inline constexpr int kFirmwareFileLine = 1008;
inline constexpr int kFirmwareVersionLine = 1009;
inline constexpr int kProgressLine = 1010;
inline constexpr int kStatusLine = 1011;
inline constexpr int kRefreshPorts = 1012;
inline constexpr int kStepLine = 1014;
inline constexpr int kContactInformation = 1016;
inline constexpr int kUseForLine = 1017;
inline constexpr int kLabelNotice = 1032;
inline constexpr int kLogo = 1033;
inline constexpr int kInstructions = 1100;

inline constexpr int kFirstPortButton = 2001;
inline constexpr int kLastPortButton = 2022;
inline constexpr int kPortButtonCount = kLastPortButton - kFirstPortButton + 1;

// Window (system) menu commands.
inline constexpr unsigned kSysCommandAbout = 0x0010;
inline constexpr unsigned kSysCommandClose = 0xF060;

// The private messages of the update session.
inline constexpr unsigned UWM_MODULE_ANSWERED = 0x0400 + 101;
inline constexpr unsigned UWM_CANCEL_UPDATE = 0x0400 + 102;

inline constexpr unsigned kUpdateTimerId = 10;
inline constexpr unsigned kUpdateTimerPeriodMs = 500;

}  // namespace vorenta::ids
