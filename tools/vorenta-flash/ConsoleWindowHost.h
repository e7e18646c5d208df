#pragma once

#include <string_view>

#include "Console.h"
#include "ui/HeadlessWindowHost.h"
#include "update/SessionEvents.h"

namespace vorenta {

// The update window without a display: its information lines, message boxes
// (their text under their caption) and log lines are printed on a console,
// and the pages being sent become its progress.
class ConsoleWindowHost : public HeadlessWindowHost, public ISessionEvents {
  public:
    ConsoleWindowHost(IConsole& console, bool quiet) : console_(console), quiet_(quiet) {}

    void SetDlgItemText(int id, std::string_view text) override;
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    void Log(std::string_view line) override;

    void OnPageSending(std::uint64_t page, std::uint64_t pageCount) override;

    // Says something of the tool's own on its own line.
    void Say(std::string_view line);

  private:
    IConsole& console_;
    bool quiet_;
};

}  // namespace vorenta
