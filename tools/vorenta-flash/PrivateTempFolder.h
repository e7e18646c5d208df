#pragma once

#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// A folder of one session's own (mode 0700) under the temporary-files folder,
// so sessions running side by side never share a page image. Removed, with the
// page image if one is left, when the object goes.
class PrivateTempFolder {
  public:
    // `parent` ends with a separator; Path() is empty when no folder could be made.
    PrivateTempFolder(IFileSystem& files, const std::string& parent);
    ~PrivateTempFolder();
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

    // With its trailing separator.
    const std::string& Path() const { return path_; }

  private:
    IFileSystem& files_;
    std::string path_;
};

}  // namespace vorenta
