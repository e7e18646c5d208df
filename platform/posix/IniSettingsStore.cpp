#include "platform/posix/IniSettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/TextCompare.h"
#include "platform/posix/Folders.h"
#include "platform/posix/ReplaceFile.h"

namespace vorenta {

namespace {

constexpr std::string_view kFileExtension = ".ini";
// A settings file is a few lines; anything this large is not ours.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1024} * 1024;

// A file name for the application that cannot leave the settings folder.
std::string SafeFileName(std::string_view application) {
    std::string name(application);
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    if (name.empty() || name == "." || name == "..") {
        name = "_" + name;
    }
    return name + std::string(kFileExtension);
}

// One line of the file as the store understands it.
struct Line {
    enum Kind { Blank, Comment, Section, Entry, Junk } kind = Blank;
    std::string text;  // the line as it stood
    std::string name;  // section or entry name
    std::string value;
};

Line ParseLine(const std::string& raw) {
    Line line{Line::Blank, raw, {}, {}};
    const std::string_view text = TrimBlanks(raw);
    if (text.empty()) {
        return line;
    }
    // Junk unless it is one of the kinds below; a NUL never belongs to one.
    line.kind = Line::Junk;
    if (text.find('\0') != std::string_view::npos) {
        return line;
    }
    if (text.front() == ';' || text.front() == '#') {
        line.kind = Line::Comment;
    } else if (text.front() == '[') {
        if (text.back() == ']' && text.size() > 2) {
            line.kind = Line::Section;
            line.name = TrimBlanks(text.substr(1, text.size() - 2));
        }
    } else if (const std::size_t equals = text.find('=');
               equals != std::string_view::npos && equals > 0) {
        line.kind = Line::Entry;
        line.name = TrimBlanks(text.substr(0, equals));
        line.value = TrimBlanks(text.substr(equals + 1));
    }
    return line;
}

// The file's lines, or nothing when it is missing, unreadable or too large.
std::optional<std::vector<Line>> ReadLines(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileBytes) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::vector<Line> lines;
    std::string raw;
    while (std::getline(file, raw)) {
        lines.push_back(ParseLine(raw));
    }
    if (file.bad()) {
        return std::nullopt;
    }
    return lines;
}

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string_view company, std::string_view application,
                                   const std::filesystem::path& baseFolder) {
    if (!baseFolder.empty()) {
        filePath_ = baseFolder / std::string(company) / SafeFileName(application);
    }
}

int IniSettingsStore::GetProfileInt(std::string_view section, std::string_view entry,
                                    int defaultValue) {
    if (filePath_.empty()) {
        return defaultValue;
    }
    const auto lines = ReadLines(filePath_);
    if (!lines) {
        return defaultValue;
    }
    bool inSection = false;
    for (const Line& line : *lines) {
        if (line.kind == Line::Section) {
            inSection = EqualsIgnoringCase(line.name, section);
        } else if (inSection && line.kind == Line::Entry && EqualsIgnoringCase(line.name, entry)) {
            return ParseInt(line.value).value_or(defaultValue);
        }
    }
    return defaultValue;
}

bool IniSettingsStore::WriteProfileInt(std::string_view section, std::string_view entry,
                                       int value) {
    if (filePath_.empty() || !CreatePrivateFolder(filePath_.parent_path())) {
        return false;
    }
    // A damaged or unreadable file is replaced by a good one; of a readable
    // file everything but lines that mean nothing is kept.
    std::vector<Line> lines = ReadLines(filePath_).value_or(std::vector<Line>{});
    std::erase_if(lines, [](const Line& line) { return line.kind == Line::Junk; });

    const std::string newEntry = std::string(entry) + "=" + std::to_string(value);
    bool inSection = false;
    std::optional<std::size_t> sectionEnd;  // after the section's last non-blank line
    bool replaced = false;
    for (std::size_t i = 0; i < lines.size() && !replaced; ++i) {
        Line& line = lines[i];
        if (line.kind == Line::Section) {
            if (inSection) {
                break;  // the first section of that name gets the entry
            }
            inSection = EqualsIgnoringCase(line.name, section);
            if (inSection) {
                sectionEnd = i + 1;
            }
        } else if (inSection) {
            if (line.kind == Line::Entry && EqualsIgnoringCase(line.name, entry)) {
                line.text = newEntry;
                replaced = true;
            } else if (line.kind != Line::Blank) {
                sectionEnd = i + 1;
            }
        }
    }
    if (!replaced) {
        if (sectionEnd) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd),
                         Line{Line::Entry, newEntry, {}, {}});
        } else {
            if (!lines.empty() && lines.back().kind != Line::Blank) {
                lines.push_back(Line{});
            }
            std::string header(1, '[');
            header.append(section).append(1, ']');
            lines.push_back(Line{Line::Section, std::move(header), {}, {}});
            lines.push_back(Line{Line::Entry, newEntry, {}, {}});
        }
    }

    std::string contents;
    for (const Line& line : lines) {
        contents += line.text;
        contents += '\n';
    }
    std::string error;
    return ReplaceFileAtomically(filePath_, contents, error);
}

}  // namespace vorenta
