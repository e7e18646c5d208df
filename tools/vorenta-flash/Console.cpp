#include "Console.h"

#include <cmath>

#include "update/TransferTexts.h"

namespace vorenta {

namespace {
constexpr int kBarWidth = 30;
constexpr std::string_view kClearToLineEnd = "\x1b[K";
}  // namespace

bool WriteOut(std::FILE* out, std::string_view text) {
    const bool whole = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fflush(out) == 0 && whole;
}

std::optional<double> TimeLeft::SecondsLeft(unsigned page, unsigned pageCount) {
    const auto now = std::chrono::steady_clock::now();
    if (!firstPage_ || page == 1) {
        firstPage_ = now;
    }
    if (page <= 1) {
        return std::nullopt;
    }
    const double elapsed = std::chrono::duration<double>(now - *firstPage_).count();
    return elapsed / (page - 1) * (pageCount - page + 1);
}

std::string ProgressBar(unsigned page, unsigned pageCount, std::optional<double> secondsLeft) {
    const unsigned done = page > pageCount ? pageCount : page;
    const int filled =
        static_cast<int>(static_cast<unsigned long long>(done) * kBarWidth / pageCount);
    std::string bar = "[";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), '-');
    bar += "] " + std::to_string(page) + "/" + std::to_string(pageCount) + " pages " +
           std::to_string(done * 100ULL / pageCount) + "%";
    if (secondsLeft) {
        const auto total = std::llround(*secondsLeft);
        const long long seconds = total % 60;
        bar += "  about " + std::to_string(total / 60) + ":" + (seconds < 10 ? "0" : "") +
               std::to_string(seconds) + " left";
    }
    return bar;
}

void StreamConsole::Write(std::string_view text) {
    if (progressOnLine_) {
        progressOnLine_ = false;
        WriteOut(out_, "\n");
    }
    WriteOut(out_, text);
}

void StreamConsole::Progress(unsigned page, unsigned pageCount) {
    if (!terminal_ || pageCount == 0) {
        Write(texts::ProgressText(page, pageCount) + "\n");
        return;
    }
    // Appended piece by piece: g++ 12 warns wrongly about a literal joined in front.
    std::string line(1, '\r');
    line += ProgressBar(page, pageCount, timeLeft_.SecondsLeft(page, pageCount));
    line += kClearToLineEnd;
    WriteOut(out_, line);
    progressOnLine_ = true;
}

}  // namespace vorenta
