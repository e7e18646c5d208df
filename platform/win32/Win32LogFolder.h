#pragma once

#include <string>
#include <string_view>

#include "platform/LogFolder.h"

namespace vorenta {

// Session logs in a folder under the user's local application data (private
// to the user there). A file is only ever created new, and nothing reached
// through a link (reparse point) is read, written or removed. Logs are
// shared for reading while they are written.
class Win32LogFolder : public ILogFolder {
  public:
    // `folder` without a trailing separator; empty: no folder is known.
    explicit Win32LogFolder(std::string folder) : folder_(std::move(folder)) {}

    std::string Path() const override { return folder_; }
    std::string PathOf(const std::string& name) const override { return folder_ + '\\' + name; }
    std::unique_ptr<ILogWriter> Create(const std::string& name, std::string& error) override;
    std::vector<std::string> List() override;
    std::string ListProblem() override;
    bool Exists(const std::string& name) override;
    std::string ReadTail(const std::string& name, std::size_t maxBytes) override {
        return ReadPart(name, maxBytes, true);
    }
    std::string ReadHead(const std::string& name, std::size_t maxBytes) override {
        return ReadPart(name, maxBytes, false);
    }
    bool Remove(const std::string& name) override;

  private:
    std::string ReadPart(const std::string& name, std::size_t maxBytes, bool tail);
    // The folder exists, is a folder and no link; `error` says why not.
    bool FolderUsable(std::string& error) const;

    std::string folder_;
};

}  // namespace vorenta
