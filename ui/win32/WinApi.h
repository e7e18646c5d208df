#pragma once

// <windows.h> as the project includes it (the colliding macros removed),
// with the common controls, rich edit and shell headers the dialog host needs.
#include "platform/win32/WinApi.h"

#include <commctrl.h>
#include <richedit.h>
