// A built-in font's lookup finds every glyph of its sorted table and gives any other character
// the replacement glyph, which stands last.
#include <gtest/gtest.h>

#include "EmbeddedGlyph.h"

namespace {

// Codes with gaps, the replacement character (U+FFFD) last, as the font tool writes them.
const EmbeddedGlyph kTable[] = {{0x20, 1, 0, 0, 0, 0, 0},
                                {0x41, 2, 0, 0, 0, 0, 0},
                                {0xE9, 3, 0, 0, 0, 0, 0},
                                {0xFFFD, 4, 0, 0, 0, 0, 0}};

TEST(EmbeddedGlyphTest, EachCodeFindsItsGlyphAndOthersTheReplacement) {
    const struct {
        char32_t code;
        int32_t advance;  // tells the glyphs apart
    } cases[] = {{0x20, 1}, {0x41, 2}, {0xE9, 3},   {0xFFFD, 4},  {0x00, 4},     {0x21, 4},
                 {0x40, 4}, {0x42, 4}, {0xFFFC, 4}, {0x1F600, 4}, {0x10FFFF, 4}, {0xFFFFFFFF, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<uint32_t>(c.code));
        EXPECT_EQ(FindEmbeddedGlyph(kTable, 4, c.code).advance, c.advance);
    }
}

}  // namespace
