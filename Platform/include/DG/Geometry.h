#pragma once
// Rectangles, points and colours of the dialog toolkit. Coordinates are pixels, y downwards;
// a rectangle holds the pixels from left/top up to, not including, right/bottom.
#include <cstdint>

namespace DG {

struct Point {
    int32_t x = 0, y = 0;
};

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;

    int32_t GetWidth() const { return right - left; }
    int32_t GetHeight() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    Rect Offset(int32_t dx, int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    Rect Intersect(const Rect& o) const;
    bool operator==(const Rect&) const = default;
};

// An 8-bit colour with alpha, as list rows are coloured.
struct Color {
    uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    bool operator==(const Color&) const = default;
};

// A 16-bit-per-component colour, as the drawing calls take it.
struct RGBColor16 {
    uint16_t red = 0, green = 0, blue = 0;
};

}  // namespace DG
