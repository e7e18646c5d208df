#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "ui/HeadlessWindowHost.h"

namespace vorenta {

// The update window without a display: message boxes become their text on
// standard error under their caption, the progress line becomes a bar on a
// terminal or plain lines elsewhere.
class ConsoleWindowHost : public HeadlessWindowHost {
  public:
    using Output = std::function<void(std::string_view text)>;

    ConsoleWindowHost(std::FILE* out, bool terminal, bool quiet)
        : out_(out), terminal_(terminal), quiet_(quiet) {}
    // Everything it prints goes to `output` instead of a file.
    ConsoleWindowHost(Output output, bool terminal, bool quiet)
        : output_(std::move(output)), terminal_(terminal), quiet_(quiet) {}

    void SetDlgItemText(int id, std::string_view text) override;
    void MessageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    void Log(std::string_view line) override;

    // Says something of the tool's own on its own line.
    void Say(std::string_view line);

  private:
    void ShowProgress(std::string_view text);
    void EndProgressLine();
    void Emit(std::string_view text);

    std::FILE* out_ = nullptr;
    Output output_;
    bool terminal_;
    bool quiet_;
    bool progressOnLine_ = false;
    std::optional<std::chrono::steady_clock::time_point> firstPage_;
};

// "Sending firmware page  12  of  256" -> 12 and 256.
bool ParseProgressText(std::string_view text, unsigned& page, unsigned& pageCount);
// "[#####-----]  12/256 pages   4%  about 0:45 left" for a terminal line.
std::string ProgressBar(unsigned page, unsigned pageCount, std::optional<double> secondsLeft);

}  // namespace vorenta
