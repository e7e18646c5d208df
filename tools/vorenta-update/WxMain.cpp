// vorenta-update: the update window on the desktop (wxWidgets).
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/UpdateProgram.h"
#include "common/ProductTexts.h"
#include "platform/NativePlatform.h"
#include "ui/wx/WxToolkit.h"
#include "ui/wx/WxWindowToolkit.h"

namespace {
constexpr int kExitNoDisplay = 2;
constexpr const char* kDefaultName = "vorenta-update";
}  // namespace

int main(int argc, char** argv) {
    using namespace vorenta;
    OpenMissingStandardStreams();
    // A session under way ends cleanly before the window closes.
    const StopSignals signals;

    std::string executable = ExecutablePath();
    if (executable.empty() && argc > 0) {
        executable = argv[0];
    }
    const std::string name = ApplicationNameFromPath(executable, kPathSeparator);
    const std::string reason = wxui::MissingDisplayReason();
    if (!reason.empty()) {
        std::fprintf(stderr, "%s: cannot open the update window: %s\n", name.c_str(),
                     reason.c_str());
        return kExitNoDisplay;
    }
    wxui::Toolkit toolkit(argc, argv);
    if (!toolkit.IsOk()) {
        std::fprintf(stderr,
                     "%s: cannot open the update window: the display could not be reached\n",
                     name.c_str());
        return kExitNoDisplay;
    }

    NativeTickSource clock;
    NativeSerialDevice serialDevice;
    NativePortTable portTable;
    const std::unique_ptr<IPeerWindows> peers = MakeDesktopPeerWindows();
    NativeFileSystem files;
    NativeLinkOpener links;
    NativeLogFolder logFolder(SessionLogFolderPath(texts::kCompanyName));
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
        // The real executable path, quoted as a started process's command line
        // would hold it, so the same path rule serves every platform.
        CommandLineForExecutable(executable),
        kPathSeparator,
        TemporaryFolder(),
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
        {kDefaultName, VORENTA_VERSION, PlatformDescription(), &logFolder, LocalTimeNow, nullptr},
        [&signals] { return signals.TerminationRequested() || signals.Interrupts() > 0; },
    };
    wxui::WxWindowToolkit windows;
    return RunUpdateProgram(services, windows, name.empty() ? std::string(kDefaultName) : name);
}
