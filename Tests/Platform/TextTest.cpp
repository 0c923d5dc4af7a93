// Text functions: UTF-8, UTF-16 and code points checked against hand-written bytes and units,
// truncation at character boundaries, comparison, length-prefixed texts, whole-word numbers and
// the built-in font's glyph lookup.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "CH.h"
#include "EmbeddedGlyph.h"
#include "ParseInteger.h"
#include "UnicodeText.h"

namespace {

TEST(UnicodeTextTest, ConvertsBothWaysAtEveryLengthOfUtf8) {
    const struct {
        std::string utf8;
        std::u16string utf16;
        std::u32string code;
    } cases[] = {
        {"", u"", U""},
        {"\x7F", u"\x7F", U"\x7F"},
        {"\xC2\x80", u"\x80", U"\x80"},
        {"\xDF\xBF", u"\u07FF", U"\u07FF"},
        {"\xE0\xA0\x80", u"\u0800", U"\u0800"},
        {"\xEF\xBF\xBF", u"\uFFFF", U"\uFFFF"},
        {"\xF0\x90\x80\x80", u"\xD800\xDC00", U"\U00010000"},
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF", U"\U0010FFFF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        char16_t buffer[16];
        EXPECT_TRUE(UnicodeText::Utf8ToUtf16(c.utf8, buffer, 16));
        EXPECT_EQ(std::u16string(buffer), c.utf16);
        EXPECT_EQ(UnicodeText::Utf16ToUtf8(c.utf16.c_str(), 16), c.utf8);
        EXPECT_EQ(UnicodeText::Utf8ToCodePoints(c.utf8), c.code);
        EXPECT_EQ(UnicodeText::CodePointsToUtf8(c.code), c.utf8);
    }
}

TEST(UnicodeTextTest, BrokenInputBecomesReplacementCharacters) {
    const struct {
        const char* what;
        std::string utf8;
        std::u32string expected;
    } cases[] = {
        {"lone continuation byte", "a\x80z", U"a\uFFFDz"},
        {"cut three-byte form", "\xE2\x82", U"\uFFFD\uFFFD"},
        {"overlong slash", "\xC0\xAF", U"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
        {"past Unicode", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnicodeText::Utf8ToCodePoints(c.utf8), c.expected) << c.what;
    const char16_t loneHigh[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(UnicodeText::Utf16ToCodePoints(loneHigh, 4), U"a\uFFFDb");
    // What is no character is written as U+FFFD.
    EXPECT_EQ(UnicodeText::CodePointsToUtf8(U"a" + std::u32string{0x110000, 0xD800}),
              "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(UnicodeTextTest, CuttingNeverSplitsAPairAndAlwaysTerminates) {
    char16_t buffer[4];
    // Room for three units: "ab" fits, the pair after it does not and is left out whole.
    EXPECT_FALSE(UnicodeText::Utf8ToUtf16("ab\xF0\x9F\x8F\x97", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"ab");
    // Reading stops at the capacity even without a terminator.
    const char16_t unterminated[] = {u'x', u'y', u'z'};
    EXPECT_EQ(UnicodeText::Utf16ToUtf8(unterminated, 2), "xy");
}

TEST(CHTest, TruncateNeverSplitsACharacter) {
    // "é" is 2 bytes (C3 A9), "€" 3 bytes (E2 82 AC), "𝄞" 4 bytes; the room counts the NUL.
    const struct {
        const char* source;
        size_t room;
        const char* expected;
    } cases[] = {{"hello", 64, "hello"},
                 {"h\xC3\xA9llo", 3, "h"},
                 {"h\xC3\xA9llo", 4, "h\xC3\xA9"},
                 {"\xE2\x82\xAC"
                  "1",
                  3, ""},
                 {"\xE2\x82\xAC"
                  "1",
                  4, "\xE2\x82\xAC"},
                 {"\xF0\x9D\x84\x9E", 4, ""}};
    for (const auto& c : cases) {
        char out[64];
        std::memset(out, 'X', sizeof(out));
        EXPECT_EQ(CHTruncate(c.source, out, c.room), std::strlen(c.expected)) << c.room;
        EXPECT_STREQ(out, c.expected) << c.room;
    }
}

TEST(CHTest, CompareTextsAndPascalTexts) {
    EXPECT_LT(CHCompareTexts("abc", "abd", 0), 0);
    EXPECT_NE(CHCompareTexts("Layer", "layer", 0), 0);
    EXPECT_EQ(CHCompareTexts("Layer", "LAYER", 1), 0);
    EXPECT_NE(CHCompareTexts("Layer", "Layers", 1), 0);
    char text[16] = "abc";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(CHc2pascal(text)), 4), "\3abc");
}

TEST(ParseIntegerTest, AWordIsANumberOnlyAsAWholeAndWhenItFitsItsType) {
    const struct {
        std::string text;
        bool ok;
        int32_t value;  // ignored when not ok
    } cases[] = {
        {"0", true, 0},
        {"007", true, 7},
        {"2147483647", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},  // one past the top
        {"", false, 0},
        {"+-3", false, 0},
        {"12a", false, 0},
        {"12 ", false, 0},
        {"1.5", false, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 99;
        EXPECT_EQ(ParseInteger(c.text, value), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.ok ? c.value : 99) << '"' << c.text << "\" (refused: unchanged)";
    }
    int16_t small = 0;
    EXPECT_FALSE(ParseInteger("32768", small));
    uint32_t unsignedValue = 0;
    EXPECT_TRUE(ParseInteger("4294967295", unsignedValue) && unsignedValue == 4294967295u);
}

// Codes with gaps, the replacement character (U+FFFD) last, as the font tool writes them.
TEST(EmbeddedGlyphTest, EachCodeFindsItsGlyphAndOthersTheReplacement) {
    const EmbeddedGlyph table[] = {{0x20, 1, 0, 0, 0, 0, 0},
                                   {0x41, 2, 0, 0, 0, 0, 0},
                                   {0xE9, 3, 0, 0, 0, 0, 0},
                                   {0xFFFD, 4, 0, 0, 0, 0, 0}};
    const struct {
        char32_t code;
        int32_t advance;  // tells the glyphs apart
    } cases[] = {{0x20, 1}, {0x41, 2}, {0xE9, 3},   {0xFFFD, 4},  {0x00, 4},     {0x21, 4},
                 {0x40, 4}, {0x42, 4}, {0xFFFC, 4}, {0x1F600, 4}, {0x10FFFF, 4}, {0xFFFFFFFF, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(FindEmbeddedGlyph(table, 4, c.code).advance, c.advance) << +c.code;
}

}  // namespace
