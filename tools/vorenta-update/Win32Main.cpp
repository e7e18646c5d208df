// vorenta-update.exe: the update window on Windows.
#include <string>

#include "NativeServices.h"
#include "app/CommandLine.h"
#include "ui/win32/Win32WindowToolkit.h"

int main(int argc, char** argv) {
    using namespace vorenta;
    // A session under way ends cleanly when the system asks the program to end.
    const StopSignals signals;
    NativeServices native(ProcessCommandLine(), argc, argv, signals);
    const std::string name = ApplicationNameFromPath(ExecutablePath(), kPathSeparator);
    win32ui::Win32WindowToolkit windows;
    return RunUpdateProgram(native.Services(), windows,
                            name.empty() ? std::string(kDefaultProgramName) : name);
}
