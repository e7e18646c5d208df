#include "ConsoleWindowHost.h"

#include "common/PrintableText.h"
#include "ui/UpdateDlgIds.h"

namespace vorenta {

void ConsoleWindowHost::SetDlgItemText(int id, std::string_view text) {
    const bool changed = GetDlgItemText(id) != text;
    HeadlessWindowHost::SetDlgItemText(id, text);
    if (quiet_ || !changed || text.empty()) {
        return;
    }
    if (id == ids::kBootLoaderLine || id == ids::kFirmwareFileLine ||
        id == ids::kFirmwareVersionLine || id == ids::kStatusLine) {
        Say(text);
    }
}

void ConsoleWindowHost::OnPageSending(std::uint64_t page, std::uint64_t pageCount) {
    if (!quiet_) {
        console_.Progress(static_cast<unsigned>(page), static_cast<unsigned>(pageCount));
    }
}

void ConsoleWindowHost::MessageBox(std::string_view text, std::string_view caption,
                                   MessageIcon icon) {
    HeadlessWindowHost::MessageBox(text, caption, icon);
    std::string shown = PrintableText(text);
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == ' ')) {
        shown.pop_back();
    }
    std::string box = PrintableText(caption);
    box += ":\n";
    box += shown;
    box += '\n';
    console_.Write(box);
}

void ConsoleWindowHost::Log(std::string_view line) {
    HeadlessWindowHost::Log(line);
    if (!quiet_) {
        Say(line);
    }
}

void ConsoleWindowHost::Say(std::string_view line) {
    std::string said = PrintableText(line);
    said += '\n';
    console_.Write(said);
}

}  // namespace vorenta
