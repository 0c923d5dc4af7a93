#pragma once
// A glyph of a font built into the program (drawn once by Platform/tools/MakeEmbeddedFont.cc into
// a table sorted by code point, the replacement character last), and its lookup in that table.
#include <algorithm>
#include <cstdint>

struct EmbeddedGlyph {
    uint32_t code;
    int32_t advance;  // 1/64 pixel at the size the font was drawn at
    int32_t left, top;
    uint32_t width, height;
    uint32_t offset;  // first coverage value in the font's coverage text
};

// The glyph of `code`; characters the font lacks get the replacement glyph.
inline const EmbeddedGlyph& FindEmbeddedGlyph(const EmbeddedGlyph* glyphs, int count,
                                              char32_t code) {
    const EmbeddedGlyph* end = glyphs + count;
    const EmbeddedGlyph* g = std::lower_bound(
        glyphs, end, code, [](const EmbeddedGlyph& a, char32_t c) { return a.code < c; });
    if (g != end && g->code == code) return *g;
    return glyphs[count - 1];
}
