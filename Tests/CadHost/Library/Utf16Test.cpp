// Text conversions of library part names and parameter strings, checked against hand-written
// UTF-8 bytes and UTF-16 units.
#include <gtest/gtest.h>

#include "Library/Utf16.h"

namespace CadHost::Library {
namespace {

struct Case {
    const char* what;
    std::string utf8;
    std::u16string utf16;
};

class Utf16Test : public ::testing::TestWithParam<Case> {};

TEST_P(Utf16Test, ConvertsBothWays) {
    const Case& c = GetParam();
    char16_t buffer[16];
    EXPECT_TRUE(Utf16::FromUtf8(c.utf8, buffer, 16)) << c.what;
    EXPECT_EQ(std::u16string(buffer), c.utf16) << c.what;
    EXPECT_EQ(Utf16::ToUtf8(c.utf16.c_str(), 16), c.utf8) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf16Test,
                         ::testing::Values(Case{"ascii", "Caption", u"Caption"},
                                           Case{"latin-1", "\xC3\x84pfel", u"\u00C4pfel"},
                                           Case{"three bytes", "\xE2\x82\xAC 5", u"\u20AC 5"},
                                           Case{"surrogate pair", "\xF0\x9F\x8F\x97",
                                                u"\xD83C\xDFD7"},
                                           Case{"empty", "", u""}));

TEST(Utf16EdgeTest, BrokenInputBecomesReplacementCharacters) {
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
    for (const auto& c : cases) EXPECT_EQ(Utf16::Utf8ToCodePoints(c.utf8), c.expected) << c.what;
    const char16_t loneHigh[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(Utf16::ToCodePoints(loneHigh, 4), U"a\uFFFDb");
}

TEST(Utf16EdgeTest, CuttingNeverSplitsAPairAndAlwaysTerminates) {
    char16_t buffer[4];
    // Room for three units: "ab" fits, the pair after it does not and is left out whole.
    EXPECT_FALSE(Utf16::FromUtf8("ab\xF0\x9F\x8F\x97", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"ab");
    EXPECT_FALSE(Utf16::FromUtf8("abcdef", buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"abc");
    // Reading stops at the capacity even without a terminator.
    const char16_t unterminated[] = {u'x', u'y', u'z'};
    EXPECT_EQ(Utf16::ToUtf8(unterminated, 2), "xy");
}

}  // namespace
}  // namespace CadHost::Library
