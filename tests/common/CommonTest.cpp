#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/Hex.h"
#include "common/Json.h"
#include "common/PrintableText.h"

namespace vorenta::test {
namespace {

TEST(PrintableText, ControlCharactersNeverReachTheTerminal) {
    EXPECT_EQ(PrintableText("V2.60\x1b]0;owned\x07\x1b[2J"), "V2.60?]0;owned??[2J");
    EXPECT_EQ(PrintableText(std::string("a\rb\bc\x7f"
                                        "\0"
                                        "d",
                                        8)),
              "a?b?c??d");
    EXPECT_EQ(PrintableText("line one\n\tline two"), "line one\n\tline two");
    // UTF-8 text stays; the C1 controls, raw 8-bit bytes and broken or
    // over-long sequences do not.
    const std::string utf8 =
        "Gr\xc3\xbc\xc3\x9f"
        "e \xe2\x82\xac \xf0\x9f\x93\xa1";
    EXPECT_EQ(PrintableText(utf8), utf8);
    EXPECT_EQ(PrintableText("\xc2\x9b"
                            "2J \x9b"
                            "2J \xe2\x82 \xc0\xaf \xed\xa0\x80"),
              "??2J ?2J ?? ?? ???");
}

TEST(PrintableText, ALineFromOutsideStaysOneLine) {
    EXPECT_EQ(PrintableLine("/dev/x\nCOM6 (/dev/y): updated\tz"),
              "/dev/x?COM6 (/dev/y): updated?z");
    EXPECT_EQ(PrintableLine("V2.60\x1b[2J \xff \xc3\xbc"), "V2.60?[2J ? \xc3\xbc");
}

TEST(Json, StringsAreValidJsonWhateverTheBytes) {
    EXPECT_EQ(JsonString("plain"), "\"plain\"");
    EXPECT_EQ(JsonString("a \"b\" \\ c"), R"("a \"b\" \\ c")");
    EXPECT_EQ(JsonString("line\nnext\ttab\r"), R"("line\nnext\ttab\r")");
    EXPECT_EQ(JsonString(std::string("\x1b[2J\x7f", 5)), R"("\u001b[2J\u007f")");
    EXPECT_EQ(JsonString(std::string("nul\0", 4)), R"("nul\u0000")");
    EXPECT_EQ(JsonString("Gr\xc3\xbc\xc3\x9f \xe2\x82\xac"), "\"Gr\xc3\xbc\xc3\x9f \xe2\x82\xac\"");
    // Bytes of an 8-bit code page, cut sequences, overlong forms, surrogates:
    // each byte is the replacement character, never a character of its own
    // number (a raw 0xFF must not read as a real "\u00ff").
    EXPECT_EQ(JsonString("Gr\xfc\xdf"), R"("Gr\ufffd\ufffd")");
    EXPECT_EQ(JsonString("\xe2\x82"), R"("\ufffd\ufffd")");
    EXPECT_EQ(JsonString("\xc0\xaf"), R"("\ufffd\ufffd")");
    EXPECT_EQ(JsonString("\xed\xa0\x80"), R"("\ufffd\ufffd\ufffd")");
    EXPECT_EQ(JsonString("\xc3\xbf"), "\"\xc3\xbf\"");
}

TEST(Json, TextThatIsNotUtf8KeepsItsBytesInAHexMember) {
    // A raw 0xFF and a real "\u00ff" (UTF-8 C3 BF) must stay apart.
    JsonObject raw;
    raw.Text("path", "/fw/\xff.bin");
    raw.Number("n", 1);
    EXPECT_EQ(raw.Close(), R"({"path":"/fw/\ufffd.bin","pathHex":"2f66772fff2e62696e","n":1})");
    JsonObject real;
    real.Text("path", "/fw/\xc3\xbf.bin");
    EXPECT_EQ(real.Close(), "{\"path\":\"/fw/\xc3\xbf.bin\"}");
    // A replacement character that was really in the text is valid UTF-8: no hex.
    JsonObject replacement;
    replacement.Text("v", "\xef\xbf\xbd");
    EXPECT_EQ(replacement.Close(), "{\"v\":\"\xef\xbf\xbd\"}");
}

TEST(Json, ObjectsKeepTheirMembersInOrder) {
    JsonObject object;
    EXPECT_EQ(object.Close(), "{}");
    object.Text("name", "a\"b");
    object.Number("n", 18446744073709551615ULL);
    object.Integer("status", -1);
    object.Raw("nested", "null");
    EXPECT_EQ(object.Close(),
              R"({"name":"a\"b","n":18446744073709551615,"status":-1,"nested":null})");
}

TEST(Hex, WireBytesAndDigests) {
    const std::vector<std::uint8_t> bytes{0x3C, 0x57, 0x00, 0xFF};
    EXPECT_EQ(HexBytes(bytes), "3C 57 00 FF");
    EXPECT_EQ(HexDigits(bytes), "3c5700ff");
    EXPECT_EQ(HexBytes({}), "");
}

}  // namespace
}  // namespace vorenta::test
