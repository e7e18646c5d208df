// vorenta-update: the update window on the desktop (wxWidgets).
#include <cstdio>
#include <string>

#include "NativeServices.h"
#include "app/CommandLine.h"
#include "ui/wx/WxToolkit.h"
#include "ui/wx/WxWindowToolkit.h"

namespace {
constexpr int kExitNoDisplay = 2;
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

    NativeServices native(CommandLineForExecutable(executable), argc, argv, signals);
    wxui::WxWindowToolkit windows;
    return RunUpdateProgram(native.Services(), windows,
                            name.empty() ? std::string(kDefaultProgramName) : name);
}
