#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorenta {

class CPLSM_UpdateApp;

// What start-up needs from the platform and the toolkit, in the order it
// asks for it.
class IAppPlatform {
  public:
    virtual ~IAppPlatform() = default;
    // Toolkit and control initialisation (themed controls, link-capable texts).
    virtual void InitUserInterface() = 0;
    // Selects the per-user settings store under the company and application names.
    virtual void SetRegistryKey(std::string_view company, std::string_view application) = 0;
    // The process's command line; on POSIX the real executable path in quotes.
    virtual std::string CommandLine() = 0;
    virtual char PathSeparator() const = 0;
    // The temporary-files folder with its trailing separator.
    virtual std::string TempFolder() = 0;
    // Every argument after the executable's name.
    virtual std::vector<std::string> Arguments() = 0;
    // Constructs the update window, hands it the application's values and
    // runs it modally; returns when it has closed.
    virtual void RunMainWindow(CPLSM_UpdateApp& app) = 0;
};

// The process's entry into the utility: prepares the platform, names the
// settings store, works out the folders, reads the switch and runs the update
// window once.
class CPLSM_UpdateApp {
  public:
    CPLSM_UpdateApp(IAppPlatform& platform, std::string applicationName);
    CPLSM_UpdateApp(const CPLSM_UpdateApp&) = delete;
    CPLSM_UpdateApp& operator=(const CPLSM_UpdateApp&) = delete;

    // The whole start-up; false: there is no message loop to run afterwards.
    bool InitInstance();

    const std::string& ApplicationName() const { return applicationName_; }

    // COM number from the command line, -1 for none; read by the window each
    // time it fills the port buttons.
    std::int8_t preferredPort = -1;
    std::string programDir;
    std::string tempDir;

  private:
    IAppPlatform& platform_;
    std::string applicationName_;
};

}  // namespace vorenta
