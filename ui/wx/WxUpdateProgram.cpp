#include "ui/wx/WxUpdateProgram.h"

#include <cstdio>
#include <string>

#include "app/CommandLine.h"
#include "app/UpdateApp.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgTemplate.h"
#include "ui/wx/WxAboutDialog.h"
#include "ui/wx/WxDialogHost.h"
#include "ui/wx/WxImages.h"
#include "ui/wx/WxToolkit.h"

namespace vorenta::wxui {

namespace {

constexpr int kExitNoDisplay = 2;

// Start-up's view of this platform: POSIX services, the wx update window.
class WxAppPlatform : public IAppPlatform {
  public:
    explicit WxAppPlatform(UpdateProgramServices& services) : services_(services) {}

    void InitUserInterface() override {}

    void SetRegistryKey(std::string_view company, std::string_view application) override {
        settings_ = services_.openSettings(company, application);
    }

    // The real executable path, quoted as a started process's command line
    // would hold it, so the same path rule serves every platform.
    std::string CommandLine() override {
        return CommandLineForExecutable(services_.executablePath);
    }

    char PathSeparator() const override { return '/'; }
    std::string TempFolder() override { return services_.tempFolder; }
    std::vector<std::string> Arguments() override { return services_.arguments; }

    void RunMainWindow(CPLSM_UpdateApp& app) override {
        WxDialogHost host(nullptr, UpdateDlgTemplate(), MakeAppIcons());
        SessionRecorder recorder(host, services_.serialDevice, services_.clock,
                                 services_.sessionLogs);
        const UpdateDlgPlatform platform{
            host,       services_.clock, recorder.Device(), services_.portTable,
            *settings_, services_.peers, services_.files};
        CPLSM_UpdateDlg window(platform, app.preferredPort, app.ApplicationName());
        window.firmware.programDir = app.programDir;
        window.pageImage.tempDir = app.tempDir;
        window.AddListener(recorder);
        if (services_.terminationRequested) {
            window.SetTerminationRequest(services_.terminationRequested);
        }

        DialogCallbacks callbacks;
        callbacks.initDialog = [&window] { return window.OnInitDialog(); };
        callbacks.controlStyle = [&window](int id) { return window.GetControlStyle(id); };
        callbacks.showAbout = [&host, this] { RunAboutDialog(&host, services_.links); };
        host.Attach(window, std::move(callbacks));
        host.RunModal();
        window.OnDestroy();
    }

  private:
    UpdateProgramServices& services_;
    std::unique_ptr<ISettingsStore> settings_;
};

}  // namespace

int RunUpdateProgram(int& argc, char** argv, UpdateProgramServices& services) {
    const std::string program = ApplicationNameFromPath(services.executablePath, '/');
    const std::string reason = MissingDisplayReason();
    if (!reason.empty()) {
        std::fprintf(stderr, "%s: cannot open the update window: %s\n", program.c_str(),
                     reason.c_str());
        return kExitNoDisplay;
    }
    Toolkit toolkit(argc, argv);
    if (!toolkit.IsOk()) {
        std::fprintf(stderr,
                     "%s: cannot open the update window: the display could not be reached\n",
                     program.c_str());
        return kExitNoDisplay;
    }
    WxAppPlatform platform(services);
    CPLSM_UpdateApp app(platform, program.empty() ? std::string("vorenta-update") : program);
    app.InitInstance();
    return 0;
}

}  // namespace vorenta::wxui
