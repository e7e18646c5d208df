#pragma once

// The platform layer of the system the program is built for, under one set of
// names, so a program's start-up reads the same on Linux and on Windows.
// Programs link vorenta_native. Neither <windows.h> nor a POSIX header comes
// in through here.
#include "platform/LogFolder.h"
#include "platform/NativeFileSystem.h"
#include "platform/NativeTickSource.h"
#include "platform/PeerWindows.h"
#include "platform/ProcessInfo.h"
#include "platform/StopSignals.h"
#include "platform/SystemInfo.h"
#ifdef _WIN32
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/Win32LinkOpener.h"
#include "platform/win32/Win32LogFolder.h"
#include "platform/win32/Win32PortTable.h"
#include "platform/win32/Win32SerialDevice.h"
#else
#include "platform/linux/InotifyPortWatch.h"
#include "platform/linux/LinuxPortTable.h"
#include "platform/linux/LinuxSerialDevice.h"
#include "platform/linux/XdgLinkOpener.h"
#include "platform/linux/XdgSettingsStore.h"
#include "platform/posix/PosixLogFolder.h"
#endif

namespace vorenta {

#ifdef _WIN32
using NativePortTable = Win32PortTable;
using NativeSerialDevice = Win32SerialDevice;
using NativeSettingsStore = RegistrySettingsStore;
using NativeLinkOpener = Win32LinkOpener;
using NativeLogFolder = Win32LogFolder;
inline constexpr char kPathSeparator = '\\';
#else
using NativePortTable = LinuxPortTable;
using NativeSerialDevice = LinuxSerialDevice;
using NativeSettingsStore = XdgSettingsStore;
using NativeLinkOpener = XdgLinkOpener;
using NativeLogFolder = PosixLogFolder;
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace vorenta
