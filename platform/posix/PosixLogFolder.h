#pragma once

#include <filesystem>

#include "platform/LogFolder.h"

namespace vorenta {

// Session logs in a folder of mode 0700, files of mode 0600. The folder and
// the files are reached without following a link, and a file is only ever
// created new, so a planted link or file is never written through.
class PosixLogFolder : public ILogFolder {
  public:
    explicit PosixLogFolder(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::string Path() const override { return folder_.string(); }
    std::string PathOf(const std::string& name) const override { return (folder_ / name).string(); }
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
    // The folder itself, opened without following a link, for the caller to
    // close; -1 when absent or not a folder of this user.
    int OpenFolder(std::string& error) const;

    std::filesystem::path folder_;
};

}  // namespace vorenta
