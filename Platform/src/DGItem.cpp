#include "API/Pictures.h"
#include "DG/DialogFont.h"
#include "DG/Item.h"
#include "DG/Observers.h"
#include "DG/Panel.h"

namespace DG {

Item::Item(Panel& panel, int16_t id) : panel_(panel), id_(id) {
    if (const RS::DialogLayout* layout = panel.GetLayout()) {
        for (const RS::DialogItem& item : layout->items) {
            if (item.id != id) continue;
            type_ = item.type;
            rect_ = {item.x, item.y, item.x + item.width, item.y + item.height};
            text_ = item.text;
            break;
        }
    }
    panel_.AddItem(this);
}

Item::~Item() {
    AnnounceDestruction();
    panel_.RemoveItem(this);
}

void Item::SetSize(int32_t width, int32_t height) {
    SetWidth(width);
    SetHeight(height);
}

void Item::Move(int32_t dh, int32_t dv) { rect_ = rect_.Offset(dh, dv); }

void Item::Resize(int32_t dh, int32_t dv) {
    rect_.right += dh;
    rect_.bottom += dv;
}

void Item::SetVisibility(bool visible) {
    visible_ = visible;
    if (!visible && IsFocused()) panel_.MoveFocus(nullptr);
}

void Item::SetFocus() {
    if (TakesFocus()) panel_.MoveFocus(this);
}

bool Item::IsFocused() const { return panel_.GetFocusedItem() == this; }

bool Item::IsReachable(std::string& why) const {
    if (!panel_.IsReachable(why)) return false;
    if (!visible_) {
        why = "item " + std::to_string(id_) + " is hidden";
        return false;
    }
    if (!enabled_) {
        why = "item " + std::to_string(id_) + " is disabled";
        return false;
    }
    return true;
}

bool Item::UserFocus(std::string& why) {
    if (!IsReachable(why)) return false;
    if (TakesFocus()) panel_.MoveFocus(this);
    return true;
}

void Item::Draw(Picture&, Point) {}

void Item::DrawFrame(Picture& picture, const Rect& r, uint32_t fill) const {
    picture.Fill(r, fill);
    picture.Frame(r, IsFocused() ? KXPixel(0x3B, 0x7D, 0xD8) : KXPixel(0x8C, 0x8C, 0x8C),
                  picture.Bounds());
}

void Item::DrawLabel(Picture& picture, const Rect& r, const std::string& text, bool centred) const {
    const uint32_t ink = enabled_ ? KXPixel(0, 0, 0) : KXPixel(0x9A, 0x9A, 0x9A);
    const int32_t width = DialogFont::TextWidth(text);
    const int32_t x = centred ? r.left + (r.GetWidth() - width) / 2 : r.left + 4;
    const int32_t baseline =
        r.top + (r.GetHeight() + DialogFont::kAscent - DialogFont::kDescent) / 2;
    DialogFont::Draw(picture, text, x, baseline, ink,
                     {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
}

}  // namespace DG
