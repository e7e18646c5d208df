// vorenta-update: the update window on the desktop.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NativePlatform.h"
#include "ui/ProductTexts.h"
#include "ui/wx/WxUpdateProgram.h"

int main(int argc, char** argv) {
    using namespace vorenta;
    OpenMissingStandardStreams();
    // A session under way ends cleanly before the window closes.
    const StopSignals signals;
    NativeTickSource clock;
    NativeSerialDevice serialDevice;
    NativePortTable portTable;
    const std::unique_ptr<IPeerWindows> peers = MakeDesktopPeerWindows();
    NativeFileSystem files;
    NativeLinkOpener links;
    NativeLogFolder logFolder(SessionLogFolderPath(texts::kCompanyName));

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
            return std::make_unique<NativeSettingsStore>(company, application);
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
