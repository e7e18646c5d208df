#include "app/UpdateApp.h"

#include <utility>

#include "app/CommandLine.h"
#include "common/ProductTexts.h"

namespace vorenta {

CPLSM_UpdateApp::CPLSM_UpdateApp(IAppPlatform& platform, std::string applicationName)
    : platform_(platform), applicationName_(std::move(applicationName)) {}

bool CPLSM_UpdateApp::InitInstance() {
    platform_.InitUserInterface();
    platform_.SetRegistryKey(texts::kCompanyName, applicationName_);
    const char separator = platform_.PathSeparator();
    programDir = ProgramDirFromCommandLine(platform_.CommandLine(), separator);
    tempDir = platform_.TempFolder();
    if (!tempDir.empty() && tempDir.back() != separator) {
        tempDir.push_back(separator);
    }
    CCommandLine commandLine(preferredPort);
    commandLine.ParseCommandLine(platform_.Arguments());
    platform_.RunMainWindow(*this);
    return false;
}

}  // namespace vorenta
