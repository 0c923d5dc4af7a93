// Text functions: truncation at character boundaries, comparison, length-prefixed texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CH.h"

namespace {

TEST(CHTest, TruncateNeverSplitsACharacter) {
    // "é" is 2 bytes (C3 A9), "€" 3 bytes (E2 82 AC), "𝄞" 4 bytes; the room counts the NUL.
    const struct {
        const char* source;
        size_t room;
        const char* expected;
    } cases[] = {{"hello", 64, "hello"},
                 {"hello", 4, "hel"},
                 {"h\xC3\xA9llo", 3, "h"},
                 {"h\xC3\xA9llo", 4, "h\xC3\xA9"},
                 {"\xE2\x82\xAC"
                  "1",
                  3, ""},
                 {"\xE2\x82\xAC"
                  "1",
                  4, "\xE2\x82\xAC"},
                 {"\xF0\x9D\x84\x9E", 4, ""},
                 {"", 1, ""}};
    for (const auto& c : cases) {
        char out[64];
        std::memset(out, 'X', sizeof(out));
        EXPECT_EQ(CHTruncate(c.source, out, c.room), std::strlen(c.expected)) << c.room;
        EXPECT_STREQ(out, c.expected) << c.room;
    }
}

TEST(CHTest, CompareTextsByOrderAndOptionallyWithoutCase) {
    EXPECT_LT(CHCompareTexts("abc", "abd", 0), 0);
    EXPECT_GT(CHCompareTexts("b", "a", 0), 0);
    EXPECT_EQ(CHCompareTexts("Layer", "Layer", 0), 0);
    EXPECT_NE(CHCompareTexts("Layer", "layer", 0), 0);
    EXPECT_EQ(CHCompareTexts("Layer", "LAYER", 1), 0);
    EXPECT_NE(CHCompareTexts("Layer", "Layers", 1), 0);
}

TEST(CHTest, PascalTextsStartWithTheirLength) {
    char text[16] = "abc";
    const unsigned char* p = CHc2pascal(text);
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(std::string(text + 1, 3), "abc");
}

}  // namespace
