#pragma once

// The platform layer of the system the program is built for, under one set of
// names, so a program's start-up reads the same on Linux and on Windows.
// Programs link vorenta_native. Neither <windows.h> nor a POSIX header comes
// in through here.
#ifdef _WIN32
#include "platform/win32/ProcessInfo.h"
#include "platform/win32/RegistrySettingsStore.h"
#include "platform/win32/StopSignals.h"
#include "platform/win32/SystemInfo.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32LinkOpener.h"
#include "platform/win32/Win32LogFolder.h"
#include "platform/win32/Win32PeerWindows.h"
#include "platform/win32/Win32PortTable.h"
#include "platform/win32/Win32SerialDevice.h"
#include "platform/win32/Win32TickSource.h"
#else
#include "platform/posix/DesktopPeerWindows.h"
#include "platform/posix/IniSettingsStore.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixLinkOpener.h"
#include "platform/posix/PosixLogFolder.h"
#include "platform/posix/PosixPortTable.h"
#include "platform/posix/PosixSerialDevice.h"
#include "platform/posix/PosixTickSource.h"
#include "platform/posix/ProcessInfo.h"
#include "platform/posix/StateFolder.h"
#include "platform/posix/StopSignals.h"
#include "platform/posix/SystemInfo.h"
#endif

namespace vorenta {

#ifdef _WIN32
using NativeTickSource = Win32TickSource;
using NativePortTable = Win32PortTable;
using NativeSerialDevice = Win32SerialDevice;
using NativeSettingsStore = RegistrySettingsStore;
using NativeFileSystem = Win32FileSystem;
using NativeLinkOpener = Win32LinkOpener;
using NativeLogFolder = Win32LogFolder;
inline constexpr char kPathSeparator = '\\';
#else
using NativeTickSource = PosixTickSource;
using NativePortTable = PosixPortTable;
using NativeSerialDevice = PosixSerialDevice;
using NativeSettingsStore = IniSettingsStore;
using NativeFileSystem = PosixFileSystem;
using NativeLinkOpener = PosixLinkOpener;
using NativeLogFolder = PosixLogFolder;
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace vorenta
