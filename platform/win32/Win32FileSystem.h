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
    std::unique_ptr<IFile> OpenForAppend(const std::string& path, std::string& error) override;
    // A folder "vorenta-session-" and a random part, open to this user only,
    // held open without delete sharing. Abandoned ones are this user's folders
    // of that name that nobody holds; only the files directly in them go with
    // them.
    std::unique_ptr<ISessionFolder> CreateSessionFolder(const std::string& parent) override;
};

}  // namespace vorenta
