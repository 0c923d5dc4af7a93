// Text conversions between UTF-8, UTF-16 and code points (library part names, parameter strings,
// IFC texts, dialog texts), checked against hand-written UTF-8 bytes and UTF-16 units.
#include <gtest/gtest.h>

#include "UnicodeText.h"

namespace {

struct Case {
    const char* what;
    std::string utf8;
    std::u16string utf16;
};

class UnicodeTextTest : public ::testing::TestWithParam<Case> {};

TEST_P(UnicodeTextTest, ConvertsBothWays) {
    const Case& c = GetParam();
    char16_t buffer[16];
    EXPECT_TRUE(UnicodeText::Utf8ToUtf16(c.utf8, buffer, 16)) << c.what;
    EXPECT_EQ(std::u16string(buffer), c.utf16) << c.what;
    EXPECT_EQ(UnicodeText::Utf16ToUtf8(c.utf16.c_str(), 16), c.utf8) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Texts, UnicodeTextTest,
                         ::testing::Values(Case{"ascii", "Caption", u"Caption"},
                                           Case{"latin-1", "\xC3\x84pfel", u"\u00C4pfel"},
                                           Case{"three bytes", "\xE2\x82\xAC 5", u"\u20AC 5"},
                                           Case{"surrogate pair", "\xF0\x9F\x8F\x97",
                                                u"\xD83C\xDFD7"},
                                           Case{"empty", "", u""}));

TEST(UnicodeTextEdgeTest, BrokenInputBecomesReplacementCharacters) {
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
}

TEST(UnicodeTextEdgeTest, CuttingNeverSplitsAPairAndAlwaysTerminates) {
    char16_t buffer[4];
    // Room for three units: "ab" fits, the pair after it does not and is left out whole.
    EXPECT_FALSE(UnicodeText::Utf8ToUtf16("ab\xF0\x9F\x8F\x97", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"ab");
    EXPECT_FALSE(UnicodeText::Utf8ToUtf16("abcdef", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"abc");
    // Reading stops at the capacity even without a terminator.
    const char16_t unterminated[] = {u'x', u'y', u'z'};
    EXPECT_EQ(UnicodeText::Utf16ToUtf8(unterminated, 2), "xy");
}

TEST(UnicodeTextEdgeTest, EveryLengthOfUtf8AtItsEdges) {
    const struct {
        char32_t code;
        const char* utf8;
    } cases[] = {
        {0x00007F, "\x7F"},
        {0x000080, "\xC2\x80"},
        {0x0007FF, "\xDF\xBF"},
        {0x000800, "\xE0\xA0\x80"},
        {0x00FFFF, "\xEF\xBF\xBF"},
        {0x010000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnicodeText::CodePointsToUtf8(std::u32string(1, c.code)), c.utf8) << +c.code;
        EXPECT_EQ(UnicodeText::Utf8ToCodePoints(c.utf8), std::u32string(1, c.code)) << +c.code;
    }
    // What is no character is written as U+FFFD.
    EXPECT_EQ(UnicodeText::CodePointsToUtf8(U"a" + std::u32string{0x110000, 0xD800}),
              "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
