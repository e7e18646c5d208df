#pragma once

#include <memory>
#include <string>

#include "platform/FileAccess.h"

namespace vorenta {

// The system's files: a file opened for reading is shared with other readers
// only, one opened for writing is held alone, so a file another program
// writes fails to open instead of being read half-written. Only regular
// files: no folder, device or pipe.
//
// POSIX: every open is non-blocking and takes a non-blocking flock, shared
// for reading, exclusive for writing; files in a shared temporary folder are
// written without following symbolic links. Windows: read sharing for
// readers, share mode 0 for writers, and a file opened for writing is never
// reached through a link (reparse point).
class NativeFileSystem : public IFileSystem {
  public:
    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode) override;
    std::unique_ptr<IFile> OpenForAppend(const std::string& path, std::string& error) override;
    // A folder "vorenta-session-" and a random part, open to this user only
    // and held while it lives: POSIX makes it with mkdtemp (mode 0700) and
    // holds a flock on it; Windows holds it open without delete sharing.
    // Abandoned ones are this user's folders of that name (and, on POSIX, that
    // mode) that nobody holds; only the files directly in them go with them.
    std::unique_ptr<ISessionFolder> CreateSessionFolder(const std::string& parent) override {
        std::string why;
        return MakeSessionFolder(parent, why);
    }
    std::unique_ptr<ISessionFolder> MakeSessionFolder(const std::string& parent,
                                                      std::string& why) override;

    // Whether two paths reach one file or device, links followed (a port
    // named through a link, or by two names of one device); false when either
    // cannot be reached.
    static bool SameFile(const std::string& first, const std::string& second);
};

}  // namespace vorenta
