#include "API/Pictures.h"
#include "DG/DialogFont.h"
#include "DG/DrawContext.h"

namespace DG {

DrawContext::DrawContext(Picture& picture, const Rect& cell) : picture_(picture), cell_(cell) {}

void DrawContext::SetNormalPen() { color_ = {}; }

void DrawContext::SetForeColor(const RGBColor16& color) { color_ = color; }

uint32_t DrawContext::Pixel() const {
    return KXPixel(static_cast<uint8_t>(color_.red >> 8), static_cast<uint8_t>(color_.green >> 8),
                   static_cast<uint8_t>(color_.blue >> 8));
}

void DrawContext::FrameRect(const Rect& rect) {
    picture_.Frame(rect.Offset(cell_.left, cell_.top), Pixel(), cell_);
}

void DrawContext::PaintRect(const Rect& rect) {
    picture_.Fill(rect.Offset(cell_.left, cell_.top), Pixel(), cell_);
}

int16_t DrawContext::TextWidth(const std::string& text) const {
    return static_cast<int16_t>(DialogFont::TextWidth(text));
}

void DrawContext::GetFontInfo(FontInfo* info) const {
    if (info == nullptr) return;
    info->ascent = static_cast<int16_t>(DialogFont::kAscent);
    info->descent = static_cast<int16_t>(DialogFont::kDescent);
    info->widMax = static_cast<int16_t>(DialogFont::kPixelSize);
    info->leading = static_cast<int16_t>(DialogFont::kLeading);
}

void DrawContext::MoveTo(int32_t x, int32_t y) { pen_ = {x, y}; }

void DrawContext::DrawText(const std::string& text) {
    drawnText_ += text;
    const int32_t end =
        DialogFont::Draw(picture_, text, cell_.left + pen_.x, cell_.top + pen_.y, Pixel(), cell_);
    pen_.x = end - cell_.left;
}

}  // namespace DG
