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
constexpr std::size_t kReadChunk = 4096;
// Two short lines are all a description holds; anything larger is not one.
constexpr std::uint64_t kMaxDescriptionBytes = std::uint64_t{1024} * 1024;

// Reads until `lines` line ends have arrived or the file ends. Null on a read
// error, or when the file holds more than `maxBytes`.
std::optional<std::string> ReadLeadingLines(IFile& file, std::size_t lines,
                                            std::uint64_t maxBytes) {
    std::string text;
    std::vector<std::uint8_t> chunk(kReadChunk);
    std::size_t lineEnds = 0;
    while (lineEnds < lines) {
        if (text.size() > maxBytes) {
            return std::nullopt;
        }
        const long n = file.Read(chunk.data(), chunk.size());
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        const auto* begin = chunk.data();
        const auto* end = begin + n;
        lineEnds += static_cast<std::size_t>(std::count(begin, end, '\n'));
        text.append(begin, end);
    }
    return text;
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
        const std::optional<std::uint64_t> length = file ? file->Length() : std::nullopt;
        if (file && length && *length <= kMaxDescriptionBytes) {
            text = ReadLeadingLines(*file, kLinesRead, kMaxDescriptionBytes);
            failure = firmware::kDescriptionReadFailed;
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
