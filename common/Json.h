#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorenta {

// A JSON string literal of `text`, quotes included. Valid UTF-8 stays as it
// is; control characters become \u00XX escapes and every byte that is not
// UTF-8 becomes \ufffd (never a character of the same number, which a real
// character could not be told from), so the result always parses.
std::string JsonString(std::string_view text);
// True when every byte of `text` belongs to well-formed UTF-8.
bool IsUtf8(std::string_view text);

// Builds one JSON object, member by member, in the order given.
class JsonObject {
  public:
    // Text that is not UTF-8 is followed by a member `<name>Hex` holding every
    // byte of it in lower-case hex, so what \ufffd stands for is never lost.
    void Text(std::string_view name, std::string_view value);
    void Number(std::string_view name, std::uint64_t value);
    void Integer(std::string_view name, long long value);
    // A value that is JSON already (null, an object...).
    void Raw(std::string_view name, std::string_view json);
    std::string Close() const;

  private:
    std::string out_;
};

}  // namespace vorenta
