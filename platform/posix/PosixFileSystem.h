#pragma once

#include <memory>
#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// Files on a POSIX system. Every open is non-blocking, refuses anything but a
// regular file and takes a non-blocking exclusive flock, so a file another
// process holds fails to open instead of being shared. Files in a shared
// temporary folder are written without following symbolic links.
class PosixFileSystem : public IFileSystem {
  public:
    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode) override;
    std::unique_ptr<IFile> OpenForAppend(const std::string& path, std::string& error) override;
    // A folder "vorenta-session-XXXXXX" (mkdtemp, mode 0700) held by a flock
    // on it. Abandoned ones are this user's folders of that name and mode
    // whose lock is free; only what lies directly in them goes with them.
    std::unique_ptr<ISessionFolder> CreateSessionFolder(const std::string& parent) override;
};

}  // namespace vorenta
