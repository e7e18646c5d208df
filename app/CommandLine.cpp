#include "app/CommandLine.h"

#include <climits>

namespace vorenta {

namespace {

constexpr char kQuote = '"';
constexpr char kBlank = ' ';
constexpr char kPortSwitch = 'C';
constexpr int kLowestPort = 1;
constexpr int kHighestPort = 100;

// The characters isspace() accepts in the "C" locale.
bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string ProgramDirFromCommandLine(std::string_view commandLine, char separator) {
    std::string_view path;
    if (!commandLine.empty() && commandLine.front() == kQuote) {
        // The opening quote becomes a blank and goes with the leading white space.
        std::string_view rest = commandLine.substr(1);
        while (!rest.empty() && IsWhiteSpace(rest.front())) {
            rest.remove_prefix(1);
        }
        const std::size_t close = rest.find(kQuote);
        path = close == std::string_view::npos ? std::string_view{} : rest.substr(0, close);
    } else {
        path = commandLine.substr(0, commandLine.find(kBlank));
    }
    const std::size_t last = path.rfind(separator);
    if (last == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, last + 1));
}

std::string CommandLineForExecutable(std::string_view executablePath) {
    std::string line;
    line.reserve(executablePath.size() + 2);
    line.push_back(kQuote);
    line.append(executablePath);
    line.push_back(kQuote);
    return line;
}

std::string ApplicationNameFromPath(std::string_view executablePath, char separator) {
    const std::size_t slash = executablePath.rfind(separator);
    std::string_view name =
        slash == std::string_view::npos ? executablePath : executablePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    return std::string(name);
}

int AtoiPrefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate toward the sign so INT_MIN itself stays representable.
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        value = value * 10 + (negative ? -digit : digit);
        if (value > INT_MAX) {
            return INT_MAX;
        }
        if (value < INT_MIN) {
            return INT_MIN;
        }
    }
    return static_cast<int>(value);
}

void CCommandLine::ParseParam(std::string_view text, bool isSwitch, bool /*isLast*/) {
    if (!isSwitch || text.empty() || text.front() != kPortSwitch) {
        return;
    }
    const int port = AtoiPrefix(text.substr(1));
    if (port >= kLowestPort && port <= kHighestPort) {
        preferredPort_ = static_cast<std::int8_t>(port);
    }
}

void CCommandLine::ParseCommandLine(const std::vector<std::string>& arguments) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view arg = arguments[i];
        const bool isSwitch = !arg.empty() && (arg.front() == '/' || arg.front() == '-');
        if (isSwitch) {
            arg.remove_prefix(1);
        }
        ParseParam(arg, isSwitch, i + 1 == arguments.size());
    }
}

}  // namespace vorenta
