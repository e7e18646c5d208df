#include "PrivateTempFolder.h"

#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include "firmware/FirmwareTexts.h"

namespace vorenta {

namespace {
constexpr std::string_view kFolderPattern = "vorenta-flash-XXXXXX";
}

PrivateTempFolder::PrivateTempFolder(IFileSystem& files, const std::string& parent)
    : files_(files) {
    std::string pattern = parent + std::string(kFolderPattern);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) != nullptr) {
        path_ = std::string(name.data()) + "/";
    }
}

PrivateTempFolder::~PrivateTempFolder() {
    if (path_.empty()) {
        return;
    }
    // The session deletes its page image; this catches one it could not.
    files_.RemoveFile(path_ + std::string(firmware::kPageImageFileName));
    ::rmdir(path_.c_str());
}

}  // namespace vorenta
