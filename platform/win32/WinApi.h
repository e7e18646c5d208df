#pragma once

// The one way into <windows.h> for this project. Its macros would rewrite our
// own names (the line-setting constants of Dcb.h, IDOK, Yield, and the A/W
// renaming of SetDlgItemText, MessageBox, PostMessage, GetProfileInt...), so they are removed
// right after it. Code here calls the ...A functions by their full names and
// takes the removed constants from the names below.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef NOPARITY
#undef ODDPARITY
#undef EVENPARITY
#undef MARKPARITY
#undef SPACEPARITY
#undef ONESTOPBIT
#undef ONE5STOPBITS
#undef TWOSTOPBITS
#undef DTR_CONTROL_DISABLE
#undef DTR_CONTROL_ENABLE
#undef DTR_CONTROL_HANDSHAKE
#undef RTS_CONTROL_DISABLE
#undef RTS_CONTROL_ENABLE
#undef RTS_CONTROL_HANDSHAKE
#undef RTS_CONTROL_TOGGLE
#undef IDOK
#undef IDCANCEL
#undef Yield
#undef SetDlgItemText
#undef GetDlgItemText
#undef MessageBox
#undef PostMessage
#undef GetProfileInt
#undef WriteProfileString
#undef GetWindowText
#undef CreateFile
#undef RegOpenKeyEx
#undef ShellExecute

namespace vorenta::win {

// The Win32 values of the removed macros, where this layer needs them.
inline constexpr DWORD kDtrControlEnable = 0x01;
inline constexpr DWORD kRtsControlEnable = 0x01;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

}  // namespace vorenta::win
