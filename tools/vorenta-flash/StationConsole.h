#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "Console.h"

namespace vorenta {

// The one console that sessions on several ports share. Each port writes into
// a console of its own; its lines come out here one whole line at a time,
// never mixed within a line. On a terminal the bottom of the screen keeps one
// line per port with its progress, and messages scroll above it; elsewhere
// every line is printed with its port's name in front.
class StationConsole {
  public:
    StationConsole(std::FILE* out, bool terminal, std::vector<std::string> portNames,
                   unsigned width = 80);
    ~StationConsole();
    StationConsole(const StationConsole&) = delete;
    StationConsole& operator=(const StationConsole&) = delete;

    // Where port `port` writes; what it writes may end anywhere, lines come out
    // once they have ended. Used by that port's thread only.
    IConsole& Port(std::size_t port);
    // A line of the run itself (the summary), printed as it is.
    void Line(std::string_view text);
    // Leaves the progress lines where they are; what follows prints below them.
    void Finish();

  private:
    class PortConsole;

    // One line from port `port`, without its line end.
    void PortLine(std::size_t port, std::string_view text);
    void PortProgress(std::size_t port, unsigned page, unsigned pageCount);
    std::string BoardLine(const PortConsole& port) const;
    // Prints `text` above the board (on a terminal) and draws the board again.
    void Print(const std::string& text);

    std::mutex mutex_;
    std::FILE* out_;
    bool terminal_;
    unsigned width_;
    std::vector<std::unique_ptr<PortConsole>> ports_;
    std::size_t boardLines_ = 0;  // progress lines drawn below the messages
    bool finished_ = false;
};

// The number of columns of the terminal behind `file`, or `fallback`.
unsigned TerminalWidth(std::FILE* file, unsigned fallback);

}  // namespace vorenta
