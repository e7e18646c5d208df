#include "app/UpdateProgram.h"

#include "app/UpdateApp.h"
#include "ui/UpdateWindowAssembly.h"

namespace vorenta {

namespace {

// Start-up's view of the program's platform and toolkit.
class UpdateProgram : public IAppPlatform {
  public:
    UpdateProgram(UpdateProgramServices& services, IWindowToolkit& toolkit)
        : services_(services), toolkit_(toolkit) {}

    void InitUserInterface() override { toolkit_.InitUserInterface(); }
    void SetRegistryKey(std::string_view company, std::string_view application) override {
        settings_ = services_.openSettings(company, application);
    }
    std::string CommandLine() override { return services_.commandLine; }
    char PathSeparator() const override { return services_.pathSeparator; }
    std::string TempFolder() override { return services_.tempFolder; }
    std::vector<std::string> Arguments() override { return services_.arguments; }

    void RunMainWindow(CPLSM_UpdateApp& app) override {
        const std::unique_ptr<IDialogHost> host = toolkit_.MakeUpdateWindow();
        UpdateWindowAssembly assembly(
            {*host, services_.clock, services_.serialDevice, services_.portTable, *settings_,
             services_.peers, services_.files},
            services_.sessionLogs, app.preferredPort, app.ApplicationName());
        CPLSM_UpdateDlg& window = assembly.Window();
        window.firmware.programDir = app.programDir;
        window.pageImage.tempDir = app.tempDir;
        if (services_.portWatch != nullptr) {
            window.WatchPorts(*services_.portWatch);
        }
        if (services_.terminationRequested) {
            window.SetTerminationRequest(services_.terminationRequested);
        }
        host->Attach(window, assembly.Callbacks([this, &host] {
            toolkit_.RunAboutDialog(*host, services_.links);
        }));
        host->RunModal();
    }

  private:
    UpdateProgramServices& services_;
    IWindowToolkit& toolkit_;
    std::unique_ptr<ISettingsStore> settings_;
};

}  // namespace

int RunUpdateProgram(UpdateProgramServices& services, IWindowToolkit& toolkit,
                     const std::string& applicationName) {
    UpdateProgram program(services, toolkit);
    CPLSM_UpdateApp app(program, applicationName);
    app.InitInstance();
    return 0;
}

}  // namespace vorenta
