#include "ConsoleWindowHost.h"

#include <charconv>

#include "common/PrintableText.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {

namespace {

constexpr std::string_view kProgressPrefix = "Sending firmware page  ";
constexpr std::string_view kProgressMiddle = "  of  ";
constexpr int kBarWidth = 30;

bool ParseNumber(std::string_view text, unsigned& value) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

}  // namespace

bool ParseProgressText(std::string_view text, unsigned& page, unsigned& pageCount) {
    if (text.substr(0, kProgressPrefix.size()) != kProgressPrefix) {
        return false;
    }
    text.remove_prefix(kProgressPrefix.size());
    const auto middle = text.find(kProgressMiddle);
    if (middle == std::string_view::npos) {
        return false;
    }
    return ParseNumber(text.substr(0, middle), page) &&
           ParseNumber(text.substr(middle + kProgressMiddle.size()), pageCount) && pageCount > 0;
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
        const auto total = static_cast<long long>(*secondsLeft + 0.5);
        const long long seconds = total % 60;
        bar += "  about " + std::to_string(total / 60) + ":" + (seconds < 10 ? "0" : "") +
               std::to_string(seconds) + " left";
    }
    return bar;
}

void ConsoleWindowHost::SetDlgItemText(int id, std::string_view text) {
    const bool changed = GetDlgItemText(id) != text;
    HeadlessWindowHost::SetDlgItemText(id, text);
    if (quiet_ || !changed || text.empty()) {
        return;
    }
    if (id == ids::kProgressLine) {
        ShowProgress(text);
    } else if (id == ids::kBootLoaderLine || id == ids::kFirmwareFileLine ||
               id == ids::kFirmwareVersionLine || id == ids::kStatusLine) {
        Say(text);
    }
}

void ConsoleWindowHost::ShowProgress(std::string_view text) {
    unsigned page = 0;
    unsigned pageCount = 0;
    if (!terminal_ || !ParseProgressText(text, page, pageCount)) {
        Say(text);
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!firstPage_ || page == 1) {
        firstPage_ = now;
    }
    std::optional<double> secondsLeft;
    if (page > 1) {
        const double elapsed = std::chrono::duration<double>(now - *firstPage_).count();
        secondsLeft = elapsed / (page - 1) * (pageCount - page + 1);
    }
    // Appended piece by piece: g++ 12 warns wrongly about a literal joined in front.
    std::string line(1, '\r');
    line += ProgressBar(page, pageCount, secondsLeft);
    line += "\x1b[K";
    Emit(line);
    progressOnLine_ = true;
}

void ConsoleWindowHost::EndProgressLine() {
    if (progressOnLine_) {
        Emit("\n");
        progressOnLine_ = false;
    }
}

void ConsoleWindowHost::MessageBox(std::string_view text, std::string_view caption,
                                   MessageIcon icon) {
    HeadlessWindowHost::MessageBox(text, caption, icon);
    EndProgressLine();
    std::string shown = PrintableText(text);
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == ' ')) {
        shown.pop_back();
    }
    std::string box = PrintableText(caption);
    box += ":\n";
    box += shown;
    box += '\n';
    Emit(box);
}

void ConsoleWindowHost::Log(std::string_view line) {
    HeadlessWindowHost::Log(line);
    if (!quiet_) {
        Say(line);
    }
}

void ConsoleWindowHost::Say(std::string_view line) {
    EndProgressLine();
    std::string said = PrintableText(line);
    said += '\n';
    Emit(said);
}

void ConsoleWindowHost::Emit(std::string_view text) {
    if (output_) {
        output_(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fflush(out_);
}

}  // namespace vorenta
