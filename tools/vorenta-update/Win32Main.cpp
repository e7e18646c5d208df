// vorenta-update.exe: the update window on Windows.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/UpdateProgram.h"
#include "common/ProductTexts.h"
#include "platform/NativePlatform.h"
#include "ui/win32/Win32WindowToolkit.h"

namespace {
constexpr const char* kDefaultName = "vorenta-update";
}  // namespace

int main(int argc, char** argv) {
    using namespace vorenta;
    // A session under way ends cleanly when the system asks the program to end.
    const StopSignals signals;
    NativeTickSource clock;
    NativeSerialDevice serialDevice;
    NativePortTable portTable;
    const std::unique_ptr<IPeerWindows> peers = MakeDesktopPeerWindows();
    NativeFileSystem files;
    NativeLinkOpener links;
    NativeLogFolder logFolder(SessionLogFolderPath(texts::kCompanyName));

    const std::string name = ApplicationNameFromPath(ExecutablePath(), kPathSeparator);
    UpdateProgramServices services{
        clock,
        serialDevice,
        portTable,
        *peers,
        files,
        links,
        [](std::string_view company, std::string_view application) {
            return std::make_unique<NativeSettingsStore>(company, application);
        },
        ProcessCommandLine(),
        kPathSeparator,
        TemporaryFolder(),
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
        {kDefaultName, VORENTA_VERSION, PlatformDescription(), &logFolder, LocalTimeNow, nullptr},
        [&signals] { return signals.TerminationRequested() || signals.Interrupts() > 0; },
    };
    win32ui::Win32WindowToolkit windows;
    return RunUpdateProgram(services, windows, name.empty() ? std::string(kDefaultName) : name);
}
