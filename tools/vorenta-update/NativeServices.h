#pragma once

// This system's own services for the update window, built the same way by
// both mains (wxWidgets and Win32).
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/UpdateProgram.h"
#include "common/ProductTexts.h"
#include "platform/NativePlatform.h"

namespace vorenta {

inline constexpr const char* kDefaultProgramName = "vorenta-update";

class NativeServices {
  public:
    // `commandLine` as the process was started (POSIX: its executable path in
    // quotes); `signals` end a session under way when the system asks.
    NativeServices(std::string commandLine, int argc, char** argv, const StopSignals& signals)
        : services_{
              clock_,
              serialDevice_,
              portTable_,
              *peers_,
              files_,
              links_,
              [](std::string_view company, std::string_view application) {
                  return std::make_unique<NativeSettingsStore>(company, application);
              },
              std::move(commandLine),
              kPathSeparator,
              TemporaryFolder(),
              std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc),
              {kDefaultProgramName, VORENTA_VERSION, PlatformDescription(), &logFolder_,
               LocalTimeNow, nullptr, nullptr},
              [&signals] { return signals.TerminationRequested() || signals.Interrupts() > 0; },
              PortWatch(),
          } {}
    NativeServices(const NativeServices&) = delete;
    NativeServices& operator=(const NativeServices&) = delete;

    UpdateProgramServices& Services() { return services_; }

  private:
#ifdef _WIN32
    // The window hears of ports itself (WM_DEVICECHANGE).
    static IPortWatch* PortWatch() {
        return nullptr;
    }
#else
    IPortWatch* PortWatch() {
        return &portWatch_;
    }
    const PortTableRoots roots_ = PortTableRoots::ForThisMachine();
    InotifyPortWatch portWatch_{roots_.devFolder, roots_.mapFile};
#endif
    NativeTickSource clock_;
    NativeSerialDevice serialDevice_;
    NativePortTable portTable_;
    std::unique_ptr<IPeerWindows> peers_ = MakeDesktopPeerWindows();
    NativeFileSystem files_;
    NativeLinkOpener links_;
    NativeLogFolder logFolder_{SessionLogFolderPath(texts::kCompanyName)};
    UpdateProgramServices services_;
};

}  // namespace vorenta
