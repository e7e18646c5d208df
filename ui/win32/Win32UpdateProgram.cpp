#include "ui/win32/Win32UpdateProgram.h"

#include <utility>

#include "app/CommandLine.h"
#include "app/UpdateApp.h"
#include "ui/UpdateDlg.h"
#include "ui/UpdateDlgTemplate.h"
#include "ui/win32/Win32AboutDialog.h"
#include "ui/win32/Win32DialogHost.h"
#include "ui/win32/WinApi.h"

namespace vorenta::win32ui {

namespace {

// The link controls of the About dialog live in this library.
constexpr const char* kRichEditLibrary = "Riched20.dll";
constexpr const char* kTempFolderFallback = "C:\\";
constexpr DWORD kPathBufferSize = MAX_PATH;

struct LibraryDeleter {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

std::string ModulePath() {
    std::string path(kPathBufferSize, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

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

    std::string CommandLine() override { return ::GetCommandLineA(); }
    char PathSeparator() const override { return '\\'; }

    std::string TempFolder() override {
        char temp[kPathBufferSize] = {};
        char longForm[kPathBufferSize] = {};
        ::GetTempPathA(kPathBufferSize, temp);
        const DWORD length = ::GetLongPathNameA(temp, longForm, kPathBufferSize);
        if (length == 0 || length >= kPathBufferSize) {
            return kTempFolderFallback;
        }
        return std::string(longForm, length);
    }

    std::vector<std::string> Arguments() override { return services_.arguments; }

    void RunMainWindow(CPLSM_UpdateApp& app) override {
        Win32DialogHost host(instance_, UpdateDlgTemplate(), nullptr, true);
        SessionRecorder recorder(host, services_.serialDevice, services_.clock,
                                 services_.sessionLogs);
        const UpdateDlgPlatform platform{
            host,       services_.clock, recorder.Device(), services_.portTable,
            *settings_, services_.peers, services_.files};
        CPLSM_UpdateDlg window(platform, app.preferredPort, app.ApplicationName());
        window.firmware.programDir = app.programDir;
        window.pageImage.tempDir = app.tempDir;
        window.AddListener(recorder);

        DialogCallbacks callbacks;
        callbacks.initDialog = [&window] { return window.OnInitDialog(); };
        callbacks.controlStyle = [&window](int id) { return window.GetControlStyle(id); };
        callbacks.showAbout = [&host, this] {
            RunAboutDialog(instance_, host.Handle(), services_.links);
        };
        callbacks.destroy = [&window] { window.OnDestroy(); };
        host.Attach(window, std::move(callbacks));
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
    const std::string name = ApplicationNameFromPath(ModulePath(), '\\');
    Win32AppPlatform platform(services);
    CPLSM_UpdateApp app(platform, name.empty() ? std::string("vorenta-update") : name);
    app.InitInstance();
    return 0;
}

}  // namespace vorenta::win32ui
