#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorenta {

// A JSON string literal of `text`, quotes included. Valid UTF-8 stays as it
// is; control characters and bytes that are not UTF-8 become \u00XX escapes
// (a byte of an 8-bit code page as the character of the same number), so the
// result always parses.
std::string JsonString(std::string_view text);

// Builds one JSON object, member by member, in the order given.
class JsonObject {
  public:
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
