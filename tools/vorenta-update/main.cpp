// vorenta-update: the update window on the desktop.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ProductTexts.h"
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
#include "ui/wx/WxUpdateProgram.h"

int main(int argc, char** argv) {
    using namespace vorenta;
    OpenMissingStandardStreams();
    // A session under way ends cleanly before the window closes.
    const StopSignals signals;
    PosixTickSource clock;
    PosixSerialDevice serialDevice;
    PosixPortTable portTable;
    const std::unique_ptr<IPeerWindows> peers = MakeDesktopPeerWindows();
    PosixFileSystem files;
    PosixLinkOpener links;
    PosixLogFolder logFolder(SessionLogFolderPath(texts::kCompanyName));

    std::string executable = ExecutablePath();
    if (executable.empty() && argc > 0) {
        executable = argv[0];
    }
    wxui::UpdateProgramServices services{
        clock,
        serialDevice,
        portTable,
        *peers,
        files,
        links,
        [](std::string_view company, std::string_view application) {
            return std::make_unique<IniSettingsStore>(company, application);
        },
        executable,
        TemporaryFolder(),
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
        // Adapter details: nullptr until the port table can describe the
        // adapter behind a device; the log then names the device path alone.
        {"vorenta-update", VORENTA_VERSION, PlatformDescription(), &logFolder, LocalTimeNow,
         nullptr},
        [&signals] { return signals.TerminationRequested() || signals.Interrupts() > 0; },
    };
    return wxui::RunUpdateProgram(argc, argv, services);
}
