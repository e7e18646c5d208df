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
    // Unlinks a regular file nobody holds; a symbolic link (and what it points
    // to), a directory or a file in use is left alone.
    bool RemoveFile(const std::string& path) override;
};

}  // namespace vorenta
