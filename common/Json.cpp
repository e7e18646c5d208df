#include "common/Json.h"

#include <array>
#include <cstdio>
#include <span>

#include "common/Hex.h"
#include "common/Utf8.h"

namespace vorenta {

namespace {

constexpr std::string_view kNotUtf8 = "\\ufffd";
constexpr std::string_view kHexSuffix = "Hex";

void AppendEscape(std::string& out, unsigned char byte) {
    std::array<char, 8> escape{};
    std::snprintf(escape.data(), escape.size(), "\\u%04x", byte);
    out += escape.data();
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (const auto sequence = Utf8SequenceAt(text, i)) {
                out.append(text.substr(i, sequence->length));
                i += sequence->length;
                continue;
            }
            out += kNotUtf8;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
    return out;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
        } else if (const auto sequence = Utf8SequenceAt(text, i)) {
            i += sequence->length;
        } else {
            return false;
        }
    }
    return true;
}

void JsonObject::Text(std::string_view name, std::string_view value) {
    Raw(name, JsonString(value));
    if (!IsUtf8(value)) {
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(value.data()), value.size());
        Raw(std::string(name).append(kHexSuffix), JsonString(HexDigits(bytes)));
    }
}

void JsonObject::Number(std::string_view name, std::uint64_t value) {
    Raw(name, std::to_string(value));
}

void JsonObject::Integer(std::string_view name, long long value) {
    Raw(name, std::to_string(value));
}

void JsonObject::Raw(std::string_view name, std::string_view json) {
    out_ += out_.empty() ? "{" : ",";
    out_ += JsonString(name);
    out_ += ':';
    out_ += json;
}

std::string JsonObject::Close() const {
    return out_.empty() ? "{}" : out_ + "}";
}

}  // namespace vorenta
