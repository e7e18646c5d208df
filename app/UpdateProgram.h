#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileAccess.h"
#include "platform/LinkOpener.h"
#include "platform/PeerWindows.h"
#include "platform/PortTable.h"
#include "platform/PortWatch.h"
#include "platform/SerialDevice.h"
#include "platform/SettingsStore.h"
#include "platform/TickSource.h"
#include "ui/WindowToolkit.h"
#include "update/SessionRecorder.h"

namespace vorenta {

// The platform the update program runs on, as its main() builds it.
struct UpdateProgramServices {
    ITickSource& clock;
    ISerialDevice& serialDevice;
    IPortTable& portTable;
    IPeerWindows& peers;
    IFileSystem& files;
    ILinkOpener& links;
    // The per-user settings store under the company's and the application's names.
    std::function<std::unique_ptr<ISettingsStore>(std::string_view company,
                                                  std::string_view application)>
        openSettings;
    // The process's command line (on POSIX its real executable path in quotes).
    std::string commandLine;
    char pathSeparator = '/';
    // The temporary-files folder.
    std::string tempFolder;
    // Every argument after the program's name.
    std::vector<std::string> arguments;
    // Where and how each update session is logged.
    SessionLogSetup sessionLogs;
    // Says when the system asked the program to end; unset: it never does.
    std::function<bool()> terminationRequested;
    // Tells the window of ports plugged in and pulled out; null where the
    // window's host hears of them itself (Windows) or nothing can tell.
    IPortWatch* portWatch = nullptr;
};

// Runs the start-up and the update window until it is closed, with the
// toolkit's windows; the process's exit status.
int RunUpdateProgram(UpdateProgramServices& services, IWindowToolkit& toolkit,
                     const std::string& applicationName);

}  // namespace vorenta
