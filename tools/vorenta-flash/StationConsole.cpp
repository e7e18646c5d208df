#include "StationConsole.h"

#ifndef _WIN32
#include <sys/ioctl.h>
#endif

#include <algorithm>

#include "common/PrintableText.h"
#include "update/TransferTexts.h"

namespace vorenta {

namespace {
constexpr std::string_view kClearBelow = "\x1b[J";
constexpr std::string_view kNameSeparator = ": ";
constexpr unsigned kNarrowestWidth = 20;
}  // namespace

class StationConsole::PortConsole : public IConsole {
  public:
    PortConsole(StationConsole& station, std::size_t index, std::string name)
        : station(station), index(index), name(std::move(name)) {}

    void Write(std::string_view text) override {
        partial.append(text);
        std::size_t end = 0;
        while ((end = partial.find('\n')) != std::string::npos) {
            station.PortLine(index, std::string_view(partial).substr(0, end));
            partial.erase(0, end + 1);
        }
    }
    void Progress(unsigned page, unsigned pageCount) override {
        station.PortProgress(index, page, pageCount);
    }

    StationConsole& station;
    std::size_t index;
    std::string name;
    std::string board;    // what its progress line shows
    std::string partial;  // a line not yet ended
    TimeLeft timeLeft;
};

unsigned TerminalWidth([[maybe_unused]] std::FILE* file, unsigned fallback) {
#ifndef _WIN32
    winsize size{};
    if (::ioctl(::fileno(file), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
#endif
    return fallback;
}

StationConsole::StationConsole(std::FILE* out, bool terminal, std::vector<std::string> portNames,
                               unsigned width)
    : out_(out), terminal_(terminal), width_(std::max(width, kNarrowestWidth)) {
    for (std::size_t i = 0; i < portNames.size(); ++i) {
        ports_.push_back(std::make_unique<PortConsole>(*this, i, std::move(portNames[i])));
    }
}

StationConsole::~StationConsole() {
    Finish();
}

IConsole& StationConsole::Port(std::size_t index) {
    return *ports_.at(index);
}

std::string StationConsole::BoardLine(const PortConsole& port) const {
    std::size_t nameWidth = 0;
    for (const auto& other : ports_) {
        nameWidth = std::max(nameWidth, other->name.size());
    }
    std::string line = port.name;
    line.resize(nameWidth + 2, ' ');
    line += port.board;
    // A line that wraps would throw the count of lines to redraw off.
    if (line.size() >= width_) {
        line.resize(width_ - 1);
    }
    return line;
}

void StationConsole::Print(const std::string& text) {
    std::string out;
    const bool board = terminal_ && !finished_;
    if (board && boardLines_ > 0) {
        out += "\x1b[" + std::to_string(boardLines_) + "A\r";
        out += kClearBelow;
    }
    out += text;
    if (board) {
        for (const auto& port : ports_) {
            out += BoardLine(*port) + "\n";
        }
        boardLines_ = ports_.size();
    }
    WriteOut(out_, out);
}

void StationConsole::PortProgress(std::size_t index, unsigned page, unsigned pageCount) {
    if (!terminal_ || pageCount == 0) {
        PortLine(index, texts::ProgressText(page, pageCount));
        return;
    }
    const std::lock_guard lock(mutex_);
    PortConsole& port = *ports_.at(index);
    port.board = ProgressBar(page, pageCount, port.timeLeft.SecondsLeft(page, pageCount));
    Print({});
}

void StationConsole::PortLine(std::size_t index, std::string_view text) {
    const std::lock_guard lock(mutex_);
    PortConsole& port = *ports_.at(index);
    if (!text.empty()) {
        port.board = text;
    }
    Print(port.name + std::string(kNameSeparator) + std::string(text) + "\n");
}

void StationConsole::Line(std::string_view text) {
    const std::lock_guard lock(mutex_);
    Print(PrintableText(text) + "\n");
}

void StationConsole::Finish() {
    const std::lock_guard lock(mutex_);
    finished_ = true;
}

}  // namespace vorenta
