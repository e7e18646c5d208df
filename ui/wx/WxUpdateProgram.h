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
#include "platform/SerialDevice.h"
#include "platform/SettingsStore.h"
#include "platform/TickSource.h"
#include "update/SessionRecorder.h"

namespace vorenta::wxui {

// The platform the update program runs on, built by its main().
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
    std::string executablePath;
    std::string tempFolder;
    // Every argument after the program's name.
    std::vector<std::string> arguments;
    // Where and how each update session is logged.
    SessionLogSetup sessionLogs;
    // Says when the system asked the program to end (SIGTERM, SIGHUP).
    std::function<bool()> terminationRequested;
};

// Starts the toolkit, runs the start-up and the update window until it is
// closed. Returns the process's exit status: 0, or 2 when there is no display.
int RunUpdateProgram(int& argc, char** argv, UpdateProgramServices& services);

}  // namespace vorenta::wxui
