#pragma once

#include <memory>
#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// Files on Windows, opened without sharing (share mode 0), so a file another
// program holds fails to open instead of being shared, and nobody else opens
// ours while we hold it. Only regular files: no folder, device or pipe, and a
// file opened for writing is never reached through a link (reparse point).
class Win32FileSystem : public IFileSystem {
  public:
    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode) override;
    // Deletes a regular file nobody holds; a link, a folder or a file in use
    // is left alone.
    bool RemoveFile(const std::string& path) override;
};

}  // namespace vorenta
