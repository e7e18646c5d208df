#include "update/SessionEvents.h"

namespace vorenta {

namespace {
constexpr std::string_view kParagraphBreak = "\n\n";
}  // namespace

std::string SessionOutcome::Headline() const {
    std::string_view headline = std::string_view(text).substr(0, text.find(kParagraphBreak));
    while (!headline.empty() &&
           (headline.back() == ' ' || headline.back() == '\n' || headline.back() == '\r')) {
        headline.remove_suffix(1);
    }
    return std::string(headline);
}

}  // namespace vorenta
