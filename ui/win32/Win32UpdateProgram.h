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

namespace vorenta::win32ui {

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
    // Every argument after the program's name.
    std::vector<std::string> arguments;
    // Where and how each update session is logged.
    SessionLogSetup sessionLogs;
};

// Runs the start-up and the update window until it is closed; the exit status.
int RunUpdateProgram(UpdateProgramServices& services);

}  // namespace vorenta::win32ui
