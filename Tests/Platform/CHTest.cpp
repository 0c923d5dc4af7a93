#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CH.h"

namespace {

struct TruncateCase {
    const char* source;
    size_t room;
    const char* expected;
};

class CHTruncateTest : public ::testing::TestWithParam<TruncateCase> {};

TEST_P(CHTruncateTest, NeverSplitsACharacter) {
    const TruncateCase& c = GetParam();
    char out[64];
    std::memset(out, 'X', sizeof(out));
    const size_t n = CHTruncate(c.source, out, c.room);
    EXPECT_STREQ(out, c.expected);
    EXPECT_EQ(n, std::strlen(c.expected));
}

// "é" is 2 bytes (C3 A9), "€" 3 bytes (E2 82 AC), "𝄞" 4 bytes.
INSTANTIATE_TEST_SUITE_P(
    Cases, CHTruncateTest,
    ::testing::Values(TruncateCase{"hello", 64, "hello"}, TruncateCase{"hello", 4, "hel"},
                      TruncateCase{"h\xC3\xA9llo", 3, "h"},          // é would not fit whole
                      TruncateCase{"h\xC3\xA9llo", 4, "h\xC3\xA9"},  // é fits
                      TruncateCase{"\xE2\x82\xAC"
                                   "1",
                                   3, ""},  // € needs 3 bytes + NUL
                      TruncateCase{"\xE2\x82\xAC"
                                   "1",
                                   4, "\xE2\x82\xAC"},
                      TruncateCase{"\xF0\x9D\x84\x9E", 4, ""}, TruncateCase{"", 1, ""}));

TEST(CHCompareTextsTest, OrderAndCase) {
    EXPECT_LT(CHCompareTexts("abc", "abd", 0), 0);
    EXPECT_GT(CHCompareTexts("b", "a", 0), 0);
    EXPECT_EQ(CHCompareTexts("Layer", "Layer", 0), 0);
    EXPECT_NE(CHCompareTexts("Layer", "layer", 0), 0);
    EXPECT_EQ(CHCompareTexts("Layer", "LAYER", 1), 0);
    EXPECT_NE(CHCompareTexts("Layer", "Layers", 1), 0);
}

TEST(CHc2pascalTest, LengthPrefix) {
    char text[16] = "abc";
    const unsigned char* p = CHc2pascal(text);
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(std::string(text + 1, 3), "abc");
}

}  // namespace
