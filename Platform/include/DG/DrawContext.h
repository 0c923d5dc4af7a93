#pragma once
// The small 2D drawing facility that owner-drawn list cells get: a pen position, a foreground
// colour, rectangles framed and painted, text measured and drawn. Coordinates are those of the
// cell (0, 0 at its top left); nothing is drawn outside the cell.
#include <cstdint>
#include <string>

#include "DG/Geometry.h"
#include "DG/Picture.h"

namespace DG {

struct FontInfo {
    int16_t ascent = 0, descent = 0, widMax = 0, leading = 0;
};

class DrawContext {
public:
    // `cell` is where the cell lies in the picture.
    DrawContext(Picture& picture, const Rect& cell);

    // The normal pen: one pixel, black.
    void SetNormalPen();
    void SetForeColor(const RGBColor16& color);
    // The pixels just inside the rectangle's edge, in the foreground colour.
    void FrameRect(const Rect& rect);
    // Every pixel of the rectangle, in the foreground colour.
    void PaintRect(const Rect& rect);
    int16_t TextWidth(const std::string& text) const;
    void GetFontInfo(FontInfo* info) const;
    void MoveTo(int32_t x, int32_t y);
    // Draws the text with its baseline at the pen and moves the pen past it.
    void DrawText(const std::string& text);

    const Rect& GetCell() const { return cell_; }
    // Every text drawn through this context, in order: what a person reads in the cell.
    const std::string& GetDrawnText() const { return drawnText_; }

private:
    uint32_t Pixel() const;

    Picture& picture_;
    Rect cell_;
    RGBColor16 color_{};
    Point pen_{};
    std::string drawnText_;
};

}  // namespace DG
