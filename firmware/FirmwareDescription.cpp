#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "firmware/FirmwareDescription.h"
#include "firmware/FirmwareTexts.h"

namespace vorenta {

namespace {

// Lines 1 to 3 are read; later lines are never looked at.
constexpr std::size_t kLinesRead = 3;
// Lines 1 and 2 are the ones used.
constexpr std::size_t kLinesUsed = 2;
constexpr std::size_t kReadChunk = 4096;
// Two short lines are all a description holds: lines used that take more than
// this are not one. What follows them is never read, however long the file.
constexpr std::size_t kMaxDescriptionBytes = std::size_t{1024} * 1024;

// Reads until `lines` line ends have arrived, the file ends, or `maxBytes`
// are read. False on a read error, or when the lines used are not whole by
// then.
bool ReadLeadingLines(IFile& file, std::size_t lines, std::size_t maxBytes, std::string& text) {
    std::vector<std::uint8_t> chunk(kReadChunk);
    std::size_t lineEnds = 0;
    bool ended = false;
    while (lineEnds < lines && text.size() < maxBytes) {
        const long n = file.Read(chunk.data(), std::min(chunk.size(), maxBytes - text.size()));
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            ended = true;
            break;
        }
        const auto* begin = chunk.data();
        const auto* end = begin + n;
        lineEnds += static_cast<std::size_t>(std::count(begin, end, '\n'));
        text.append(begin, end);
    }
    if (ended || lineEnds >= kLinesUsed) {
        return true;
    }
    // At the limit without the lines used: fine only when the file ends here.
    std::uint8_t more = 0;
    return file.Read(&more, 1) == 0;
}

// Splits into at most `maxLines` lines ending at LF or CR LF; the line end is
// not part of a line, nothing else is removed. Text after the last LF is a
// line of its own when it is not empty.
std::vector<std::string> SplitLines(const std::string& text, std::size_t maxLines) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < maxLines && start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool complete = end != std::string::npos;
        if (!complete) {
            end = text.size();
        }
        std::size_t lineEnd = end;
        if (complete && lineEnd > start && text[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        lines.push_back(text.substr(start, lineEnd - start));
        start = complete ? end + 1 : end;
    }
    return lines;
}

}  // namespace

void FirmwareDescription::LoadFirmwareDescription() {
    const std::string path = programDir + std::string(firmware::kDescriptionFileName);

    bool usable = false;
    std::optional<std::string> text;
    std::string_view failure = firmware::kDescriptionOpenFailed;
    {
        // Closed again before the firmware file is checked.
        const auto file = files_.Open(path, OpenMode::ReadExisting);
        if (file) {
            // A file over the limit that cannot be read as a description is
            // refused like a missing one; a small one that fails says so.
            const std::optional<std::uint64_t> length = file->Length();
            const bool large = !length || *length > kMaxDescriptionBytes;
            std::string read;
            if (ReadLeadingLines(*file, kLinesRead, kMaxDescriptionBytes, read)) {
                text = std::move(read);
            } else {
                failure =
                    large ? firmware::kDescriptionOpenFailed : firmware::kDescriptionReadFailed;
            }
        }
    }

    if (text) {
        const std::vector<std::string> lines = SplitLines(*text, kLinesRead);
        firmwareVersion = lines.size() > 0 ? lines[0] : std::string();
        firmwareFileName = lines.size() > 1 ? lines[1] : std::string();
        usable = CheckFirmwareFile() != 0;
    } else {
        // A file that could not be read whole counts as no file: half a
        // description must not name the firmware that gets sent.
        std::string message(failure);
        message += firmware::kPathIndent;
        message += path;
        message += firmware::kDescriptionPathEnd;
        message += firmware::kUpdateDisabledNotice;
        display_.RefuseUpdate(message, firmware::FileMessageCaption(), MessageIcon::Warning);
    }
    if (!usable) {
        firmwareVersion.clear();
        firmwareFileName.clear();
    }

    display_.ShowFirmwareVersion(std::string(firmware::kFirmwareVersionLabel) + firmwareVersion);
    if (!usable) {
        display_.DisableUpdate();
    }
}

}  // namespace vorenta
