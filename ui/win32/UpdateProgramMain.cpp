// vorenta-update.exe: the update window on Windows.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ProductTexts.h"
#include "platform/NativePlatform.h"
#include "ui/win32/Win32UpdateProgram.h"

int main(int argc, char** argv) {
    using namespace vorenta;
    NativeTickSource clock;
    NativeSerialDevice serialDevice;
    NativePortTable portTable;
    const std::unique_ptr<IPeerWindows> peers = MakeDesktopPeerWindows();
    NativeFileSystem files;
    NativeLinkOpener links;
    NativeLogFolder logFolder(SessionLogFolderPath(texts::kCompanyName));

    win32ui::UpdateProgramServices services{
        clock,
        serialDevice,
        portTable,
        *peers,
        files,
        links,
        [](std::string_view company, std::string_view application) {
            return std::make_unique<NativeSettingsStore>(company, application);
        },
        std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
        // Adapter details: unset, so the log names the device path alone.
        {"vorenta-update", VORENTA_VERSION, PlatformDescription(), &logFolder, LocalTimeNow,
         nullptr},
    };
    return win32ui::RunUpdateProgram(services);
}
