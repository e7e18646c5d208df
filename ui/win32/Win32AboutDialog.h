#pragma once

#include "platform/LinkOpener.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {

// Runs the About and contact-information dialog modally, owned by `owner`.
void RunAboutDialog(HINSTANCE instance, HWND owner, ILinkOpener& links);

}  // namespace vorenta::win32ui
