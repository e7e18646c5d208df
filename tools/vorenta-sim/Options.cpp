#include "tools/vorenta-sim/Options.h"

#include <array>
#include <charconv>
#include <cmath>
#include <functional>

namespace vorenta::sim {

namespace {

constexpr std::string_view kHelp =
    R"(Usage: vorenta-sim [OPTION]...
Plays a Vorenta base station with a Mobile Module in firmware-update mode on the
far end of a serial line. Creates a pseudo-terminal and prints its path as the
first line, checks every byte the updater sends, answers like the module, and
prints a summary at the end.

Line and output:
  --device PATH          serve this serial device instead of creating a pseudo-terminal
  --image FILE           write the received firmware image to FILE at the end marker
  --log FILE             write a wire log (JSON Lines) of every command, frame and reply
  --timeout SECONDS      give up after this long (default: run until the update ends)
  --answer-poll N        answer the Nth poll (default 3)
  --skip-preparation     start with the base station already prepared
  --no-speed-check       do not check line speeds (for a device whose far-end speed
                         cannot be seen, such as one side of a socat pair)
  --pace                 pace received and sent bytes at the line speed (10 bits a byte)
  --max-pages N          module memory in 256-byte pages (default 65536, at most 1048576)
  --modules N            serve N modules one after another, as a production line does
                         (the next one once the base station is released or the line closes);
                         with --image, module K writes FILE with -K before its extension
  --fault-module K       the faults below apply to module K only (default: to every module)

Faults (combinable; pages count from 0, page K starts at address K*256):
  --id-wrong             send a different boot-loader identification
  --id-lowercase         send the identification in lower case
  --id-too-long          send one character too many
  --id-too-short         send one character too few
  --id-crlf              end the identification with CR LF
  --no-id                never send the identification (nor the ready byte)
  --no-cr                no carriage return after the identification
  --no-ready             no ready byte after the identification
  --ready-byte BYTE      send BYTE instead of the ready byte '!'
  --retry-page K:N       answer page K with '@' N times before taking it
  --no-reply-page K      never answer page K
  --bad-reply-page K[:BYTE]  answer page K with BYTE (default '?')
  --double-reply-page K  accept page K with two '!' instead of one
  --close-after-page K   close the line right after page K's '!' (the module takes
                         nothing more)
  --noise N              send N noise bytes before the poll answer
  --reply-delay MS       wait MS milliseconds before every reply
  --never-answer         never answer the poll

  --help                 show this text and exit
  --version              show the version and exit

Options repeat where that makes sense (--retry-page, --no-reply-page,
--bad-reply-page, --double-reply-page). BYTE is a number, decimal or 0x hexadecimal.
Exit status: 0 after a complete, valid update (identification, every page,
end marker, release); 1 when the update did not complete or the updater broke
the protocol; 2 for a bad command line; 3 when the line or a file cannot be used.
)";

using Setter = std::function<std::string(SimOptions&, std::string_view)>;

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    Setter set;
};

bool ParseNumber(std::string_view text, std::uint64_t& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

// Empty result on success; otherwise what was wrong.
template <typename T>
std::string ParseRange(std::string_view text, std::uint64_t low, std::uint64_t high, T& out) {
    std::uint64_t value = 0;
    if (!ParseNumber(text, value) || value < low || value > high) {
        return "expected a whole number from " + std::to_string(low) + " to " +
               std::to_string(high);
    }
    out = static_cast<T>(value);
    return {};
}

constexpr std::uint64_t kMaxPageNumber = 0xFFFFFE;  // the last page below the end marker
constexpr std::uint64_t kMaxCount = 1000000;
// 256 MiB: the image is kept in memory until the end marker.
constexpr std::uint64_t kMaxMemoryPages = 1 << 20;
constexpr std::uint64_t kMaxModules = 100000;

std::string ParsePage(std::string_view text, std::uint32_t& page) {
    return ParseRange(text, 0, kMaxPageNumber, page);
}

std::string ParseByte(std::string_view text, std::uint8_t& byte) {
    return ParseRange(text, 0, 255, byte);
}

// "K:N" or "K[:BYTE]" values.
std::pair<std::string_view, std::string_view> SplitPair(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, colon), text.substr(colon + 1)};
}

std::string Flag(bool& target) {
    target = true;
    return {};
}

const std::array<OptionSpec, 30>& Specs() {
    static const std::array<OptionSpec, 30> specs = {{
        {"device", true,
         [](SimOptions& o, std::string_view v) {
             o.devicePath = v;
             return v.empty() ? std::string("expected a device path") : std::string();
         }},
        {"image", true,
         [](SimOptions& o, std::string_view v) {
             o.imagePath = v;
             return v.empty() ? std::string("expected a file name") : std::string();
         }},
        {"log", true,
         [](SimOptions& o, std::string_view v) {
             o.logPath = v;
             return v.empty() ? std::string("expected a file name") : std::string();
         }},
        {"timeout", true,
         [](SimOptions& o, std::string_view v) {
             double seconds = 0;
             const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), seconds);
             constexpr double kLongest = 7 * 24 * 3600.0;
             if (v.empty() || ec != std::errc() || end != v.data() + v.size() ||
                 !std::isfinite(seconds) || seconds <= 0 || seconds > kLongest) {
                 return std::string("expected a number of seconds above 0 and up to 604800");
             }
             o.timeoutSeconds = seconds;
             return std::string();
         }},
        {"answer-poll", true,
         [](SimOptions& o, std::string_view v) {
             return ParseRange(v, 1, kMaxCount, o.answerPoll);
         }},
        {"skip-preparation", false,
         [](SimOptions& o, std::string_view) { return Flag(o.skipPreparation); }},
        {"no-speed-check", false,
         [](SimOptions& o, std::string_view) {
             o.speedCheck = false;
             return std::string();
         }},
        {"pace", false, [](SimOptions& o, std::string_view) { return Flag(o.pace); }},
        {"max-pages", true,
         [](SimOptions& o, std::string_view v) {
             return ParseRange(v, 1, kMaxMemoryPages, o.maxPages);
         }},
        {"modules", true,
         [](SimOptions& o, std::string_view v) {
             return ParseRange(v, 1, kMaxModules, o.modules);
         }},
        {"fault-module", true,
         [](SimOptions& o, std::string_view v) {
             unsigned module = 0;
             std::string error = ParseRange(v, 1, kMaxModules, module);
             if (error.empty()) {
                 o.faultModule = module;
             }
             return error;
         }},
        {"id-wrong", false, [](SimOptions& o, std::string_view) { return Flag(o.faults.idWrong); }},
        {"id-lowercase", false,
         [](SimOptions& o, std::string_view) { return Flag(o.faults.idLowerCase); }},
        {"id-too-long", false,
         [](SimOptions& o, std::string_view) { return Flag(o.faults.idTooLong); }},
        {"id-too-short", false,
         [](SimOptions& o, std::string_view) { return Flag(o.faults.idTooShort); }},
        {"id-crlf", false, [](SimOptions& o, std::string_view) { return Flag(o.faults.idCrLf); }},
        {"no-id", false, [](SimOptions& o, std::string_view) { return Flag(o.faults.noId); }},
        {"no-cr", false, [](SimOptions& o, std::string_view) { return Flag(o.faults.noCr); }},
        {"no-ready", false, [](SimOptions& o, std::string_view) { return Flag(o.faults.noReady); }},
        {"ready-byte", true,
         [](SimOptions& o, std::string_view v) {
             std::uint8_t byte = 0;
             std::string error = ParseByte(v, byte);
             if (error.empty()) {
                 o.faults.readyByte = byte;
             }
             return error;
         }},
        {"retry-page", true,
         [](SimOptions& o, std::string_view v) {
             const auto [pageText, timesText] = SplitPair(v);
             std::uint32_t page = 0;
             unsigned times = 0;
             if (timesText.empty() || !ParsePage(pageText, page).empty() ||
                 !ParseRange(timesText, 1, kMaxCount, times).empty()) {
                 return std::string("expected PAGE:TIMES, a page from 0 to ") +
                        std::to_string(kMaxPageNumber) + " and a count from 1 to " +
                        std::to_string(kMaxCount);
             }
             o.faults.retryPages[page] = times;
             return std::string();
         }},
        {"no-reply-page", true,
         [](SimOptions& o, std::string_view v) {
             std::uint32_t page = 0;
             std::string error = ParsePage(v, page);
             if (error.empty()) {
                 o.faults.silentPages.insert(page);
             }
             return error;
         }},
        {"bad-reply-page", true,
         [](SimOptions& o, std::string_view v) {
             const auto [pageText, byteText] = SplitPair(v);
             std::uint32_t page = 0;
             std::uint8_t byte = '?';
             if (!ParsePage(pageText, page).empty() ||
                 (!byteText.empty() && !ParseByte(byteText, byte).empty())) {
                 return std::string("expected PAGE or PAGE:BYTE, a page from 0 to ") +
                        std::to_string(kMaxPageNumber) + " and a byte from 0 to 255";
             }
             if (byte == '!' || byte == '@') {
                 return std::string("the reply byte must be other than '!' (0x21) and '@' (0x40)");
             }
             o.faults.badReplyPages[page] = byte;
             return std::string();
         }},
        {"double-reply-page", true,
         [](SimOptions& o, std::string_view v) {
             std::uint32_t page = 0;
             std::string error = ParsePage(v, page);
             if (error.empty()) {
                 o.faults.doubleReplyPages.insert(page);
             }
             return error;
         }},
        {"close-after-page", true,
         [](SimOptions& o, std::string_view v) {
             std::uint32_t page = 0;
             std::string error = ParsePage(v, page);
             if (error.empty()) {
                 o.faults.closeAfterPage = page;
             }
             return error;
         }},
        {"noise", true,
         [](SimOptions& o, std::string_view v) {
             return ParseRange(v, 1, 65536, o.faults.noiseBytes);
         }},
        {"reply-delay", true,
         [](SimOptions& o, std::string_view v) {
             return ParseRange(v, 0, 600000, o.faults.replyDelayMs);
         }},
        {"never-answer", false,
         [](SimOptions& o, std::string_view) { return Flag(o.faults.neverAnswer); }},
        {"help", false, [](SimOptions&, std::string_view) { return std::string(); }},
        {"version", false, [](SimOptions&, std::string_view) { return std::string(); }},
    }};
    return specs;
}

}  // namespace

std::string_view HelpText() {
    return kHelp;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
    ParsedCommandLine result;
    auto fail = [&result](std::string message) {
        result.action = ParsedCommandLine::Action::Error;
        result.error = std::move(message);
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg.size() < 3 || arg.substr(0, 2) != "--") {
            return fail("unexpected argument '" + std::string(arg) + "'");
        }
        std::string_view name = arg.substr(2);
        std::optional<std::string_view> inlineValue;
        if (const auto eq = name.find('='); eq != std::string_view::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const OptionSpec* spec = nullptr;
        for (const auto& candidate : Specs()) {
            if (candidate.name == name) {
                spec = &candidate;
            }
        }
        if (spec == nullptr) {
            return fail("unknown option '--" + std::string(name) + "'");
        }
        if (name == "help") {
            result.action = ParsedCommandLine::Action::Help;
            return result;
        }
        if (name == "version") {
            result.action = ParsedCommandLine::Action::Version;
            return result;
        }
        std::string_view value;
        if (spec->takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return fail("option '--" + std::string(name) + "' needs a value");
            }
        } else if (inlineValue) {
            return fail("option '--" + std::string(name) + "' takes no value");
        }
        if (std::string error = spec->set(result.options, value); !error.empty()) {
            return fail("invalid value '" + std::string(value) + "' for --" + std::string(name) +
                        ": " + error);
        }
    }
    if (result.options.faultModule && *result.options.faultModule > result.options.modules) {
        return fail("--fault-module " + std::to_string(*result.options.faultModule) +
                    " names a module beyond --modules " + std::to_string(result.options.modules));
    }
    return result;
}

}  // namespace vorenta::sim
