#pragma once

#include <string>
#include <string_view>

namespace vorenta {

// Text from files, devices and the command line made safe for a terminal:
// control characters other than line feed and tab, the C1 controls and bytes
// that are not UTF-8 each become '?', so no escape sequence in them reaches it.
std::string PrintableText(std::string_view text);
// The same for text that must stay on one line (a name, a field of a record):
// line feed and tab become '?' too, so it cannot forge a line of its own.
std::string PrintableLine(std::string_view text);

}  // namespace vorenta
