#include <gtest/gtest.h>

#include "Elements/TextPattern.h"

namespace {

TEST(TextPatternTest, WildcardsAndCaseAsAPersonExpectsThem) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"Basic Wall:*", "Basic Wall:Exterior - Brick on Block:138157", true},
        {"basic wall:*", "BASIC WALL:x", true},
        {"Basic Wall:*", "Basic Roof:x", false},
        {"IfcWall*", "IfcWallStandardCase", true},
        {"IfcWall*", "IfcWindow", false},
        {"*Slab on Grade*", "Floor:150mm Exterior Slab on Grade:216507", true},
        {"W-0?-*", "W-01-0003", true},
        {"W-0?-*", "W-1-0003", false},
        {"?", "\xC3\xA4", true},  // one character of two bytes
        {"??", "\xC3\xA4", false},
        {"a*b*c", "axxbyy", false},
        {"*", "", true},
        {"", "x", false},
        {"Level 1", "Level 10", false},
        {"a<b", "A<B", true},  // a '<' that opens no placeholder is a character
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextPattern::Parse(c.pattern).Matches(c.text), c.matches)
            << c.pattern << " / " << c.text;
}

TEST(TextPatternTest, PlaceholdersCaptureAndBindLiterally) {
    TextPattern::Captures captures;
    const TextPattern p = TextPattern::Parse("<storey> walls");
    ASSERT_TRUE(p.Matches("Level 1 walls", captures));
    ASSERT_EQ(captures.size(), 1u);
    EXPECT_EQ(captures[0], (std::pair<std::string, std::string>{"storey", "Level 1"}));
    EXPECT_FALSE(p.Matches(" walls", captures))
        << "a placeholder stands for at least one character";
    EXPECT_TRUE(TextPattern::Parse("<storey>").IsSinglePlaceholder());

    // The bound text is literal: its '*' matches only a '*'.
    const TextPattern bound = TextPattern::Parse("Ifc<kind>").Bind({{"kind", "W*"}});
    EXPECT_TRUE(bound.Matches("IfcW*"));
    EXPECT_FALSE(bound.Matches("IfcWall"));

    // A placeholder used twice stands for the same text twice.
    const TextPattern twice = TextPattern::Parse("<a>-<a>");
    EXPECT_TRUE(twice.Matches("ab-AB", captures));
    EXPECT_FALSE(twice.Matches("ab-ac", captures));
    EXPECT_EQ(TextPattern::Parse("<a> <b> <a>").Placeholders(),
              (std::vector<std::string>{"a", "b"}));
}

}  // namespace
