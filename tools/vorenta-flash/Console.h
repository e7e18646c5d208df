#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vorenta {

// Where one port's console output goes: printable lines, and the progress of
// the pages of its transfer.
class IConsole {
  public:
    virtual ~IConsole() = default;
    // Whole lines, each ended by '\n'.
    virtual void Write(std::string_view text) = 0;
    // Page `page` (from 1) of `pageCount` is being sent.
    virtual void Progress(unsigned page, unsigned pageCount) = 0;
};

// Writes the whole text and flushes it; false when it did not all get out.
bool WriteOut(std::FILE* out, std::string_view text);

// How long the rest of a transfer will take at the pace of its pages so far.
class TimeLeft {
  public:
    // Nothing before the second page has begun; page 1 starts the count again.
    std::optional<double> SecondsLeft(unsigned page, unsigned pageCount);

  private:
    std::optional<std::chrono::steady_clock::time_point> firstPage_;
};

// "[#####-----]  12/256 pages   4%  about 0:45 left" for a terminal line.
std::string ProgressBar(unsigned page, unsigned pageCount, std::optional<double> secondsLeft);

// A console on a stream: on a terminal the progress is a bar drawn again in
// place, anywhere else one line per page.
class StreamConsole : public IConsole {
  public:
    StreamConsole(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

    void Write(std::string_view text) override;
    void Progress(unsigned page, unsigned pageCount) override;

  private:
    std::FILE* out_;
    bool terminal_;
    bool progressOnLine_ = false;
    TimeLeft timeLeft_;
};

}  // namespace vorenta
