#include "ui/win32/Win32UpdateProgram.h"

#include <utility>

#include "app/CommandLine.h"
#include "app/UpdateApp.h"
#include "platform/ProcessInfo.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgTemplate.h"
#include "ui/win32/Win32AboutDialog.h"
#include "ui/win32/Win32DialogHost.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {

namespace {

// The link controls of the About dialog live in this library.
constexpr const char* kRichEditLibrary = "Riched20.dll";

struct LibraryDeleter {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

// Start-up's view of Windows: the Win32 services and the dialog host.
class Win32AppPlatform : public IAppPlatform {
  public:
    explicit Win32AppPlatform(UpdateProgramServices& services)
        : services_(services), instance_(::GetModuleHandleA(nullptr)) {}

    void InitUserInterface() override {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof(controls);
        controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
        ::InitCommonControlsEx(&controls);
        richEdit_.reset(::LoadLibraryA(kRichEditLibrary));
    }

    void SetRegistryKey(std::string_view company, std::string_view application) override {
        settings_ = services_.openSettings(company, application);
    }

    std::string CommandLine() override { return ProcessCommandLine(); }
    char PathSeparator() const override { return '\\'; }

    std::string TempFolder() override { return TemporaryFolder(); }

    std::vector<std::string> Arguments() override { return services_.arguments; }

    void RunMainWindow(CPLSM_UpdateApp& app) override {
        Win32DialogHost host(instance_, UpdateDlgTemplate(), nullptr, true);
        SessionRecorder recorder(host, services_.serialDevice, services_.clock, services_.files,
                                 services_.sessionLogs);
        const UpdateDlgPlatform platform{recorder.Window(),   services_.clock, recorder.Device(),
                                         services_.portTable, *settings_,      services_.peers,
                                         services_.files};
        CPLSM_UpdateDlg window(platform, app.preferredPort, app.ApplicationName());
        window.programDir = app.programDir;
        window.tempDir = app.tempDir;

        DialogCallbacks callbacks;
        callbacks.initDialog = [&window] { return window.OnInitDialog(); };
        callbacks.controlStyle = [&window](int id) { return window.GetControlStyle(id); };
        callbacks.showAbout = [&host, this] {
            RunAboutDialog(instance_, host.Handle(), services_.links);
        };
        callbacks.destroy = [&window] { window.OnDestroy(); };
        host.Attach(recorder.Watch(window, services_.portTable), std::move(callbacks));
        host.RunModal();
    }

  private:
    UpdateProgramServices& services_;
    HINSTANCE instance_;
    UniqueLibrary richEdit_;
    std::unique_ptr<ISettingsStore> settings_;
};

}  // namespace

int RunUpdateProgram(UpdateProgramServices& services) {
    const std::string name = ApplicationNameFromPath(ExecutablePath(), '\\');
    Win32AppPlatform platform(services);
    CPLSM_UpdateApp app(platform, name.empty() ? std::string("vorenta-update") : name);
    app.InitInstance();
    return 0;
}

}  // namespace vorenta::win32ui
