#include "StationConsole.h"

#ifndef _WIN32
#include <sys/ioctl.h>
#endif

#include <algorithm>

#include "ConsoleWindowHost.h"
#include "common/PrintableText.h"

namespace vorenta {

namespace {
constexpr std::string_view kClearBelow = "\x1b[J";
constexpr std::string_view kNameSeparator = ": ";
}  // namespace

struct StationConsole::Port {
    StationConsole* console = nullptr;
    std::size_t index = 0;
    std::string name;
    std::string board;    // what its progress line shows
    std::string partial;  // a line not yet ended
    std::optional<std::chrono::steady_clock::time_point> firstPage;
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
    : out_(out), terminal_(terminal), width_(std::max(width, 20U)) {
    for (std::size_t i = 0; i < portNames.size(); ++i) {
        auto port = std::make_unique<Port>();
        port->console = this;
        port->index = i;
        port->name = std::move(portNames[i]);
        ports_.push_back(std::move(port));
    }
}

StationConsole::~StationConsole() {
    Finish();
}

std::function<void(std::string_view text)> StationConsole::PortOutput(std::size_t index) {
    Port* port = ports_.at(index).get();
    return [port](std::string_view text) {
        port->partial.append(text);
        std::size_t end = 0;
        while ((end = port->partial.find('\n')) != std::string::npos) {
            port->console->PortLine(port->index, std::string_view(port->partial).substr(0, end));
            port->partial.erase(0, end + 1);
        }
    };
}

std::string StationConsole::BoardLine(const Port& port) const {
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
    std::fwrite(out.data(), 1, out.size(), out_);
    std::fflush(out_);
}

void StationConsole::PortLine(std::size_t index, std::string_view text) {
    const std::lock_guard lock(mutex_);
    Port& port = *ports_.at(index);
    unsigned page = 0;
    unsigned pageCount = 0;
    if (terminal_ && ParseProgressText(text, page, pageCount)) {
        const auto now = std::chrono::steady_clock::now();
        if (!port.firstPage || page == 1) {
            port.firstPage = now;
        }
        std::optional<double> secondsLeft;
        if (page > 1) {
            const double elapsed = std::chrono::duration<double>(now - *port.firstPage).count();
            secondsLeft = elapsed / (page - 1) * (pageCount - page + 1);
        }
        port.board = ProgressBar(page, pageCount, secondsLeft);
        Print({});
        return;
    }
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
