#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorenta {

// A log file being written, private to the user.
class ILogWriter {
  public:
    virtual ~ILogWriter() = default;
    // Appends the text; false when not all of it got to the file.
    virtual bool Write(std::string_view text) = 0;
};

// The per-user folder of session logs. Implementations keep it private to
// the user and never follow a link inside it.
class ILogFolder {
  public:
    virtual ~ILogFolder() = default;

    // The folder's path, for the operator.
    virtual std::string Path() const = 0;
    // The path of a file `name` in the folder, for the operator.
    virtual std::string PathOf(const std::string& name) const = 0;
    // Makes the folder when it is missing and creates a new file `name` in
    // it; never opens an existing file or a link. Null, with the reason in
    // `error`, when that cannot be done.
    virtual std::unique_ptr<ILogWriter> Create(const std::string& name, std::string& error) = 0;
    // Names of the regular files in the folder, in no particular order.
    virtual std::vector<std::string> List() = 0;
    // Anything at all has the name `name` in the folder: a file, a folder, a
    // link, a FIFO...
    virtual bool Exists(const std::string& name) = 0;
    // Why the folder cannot be listed (not a folder, another user's...);
    // empty when it can, or when it is only not made yet.
    virtual std::string ListProblem() { return {}; }
    // The last `maxBytes` of a regular file; empty when it cannot be read.
    virtual std::string ReadTail(const std::string& name, std::size_t maxBytes) = 0;
    // The first `maxBytes` of a regular file; empty when it cannot be read.
    virtual std::string ReadHead(const std::string& name, std::size_t maxBytes) = 0;
    // Removes a regular file of this user; anything else is left alone.
    virtual bool Remove(const std::string& name) = 0;
};

// Where the session logs of every program of the company go, without a
// trailing separator: ${XDG_STATE_HOME:-$HOME/.local/state}/<company>/logs on
// Linux, <local application data>\<company>\logs on Windows. Empty when that
// folder is unknown.
std::string SessionLogFolderPath(std::string_view company);

}  // namespace vorenta
