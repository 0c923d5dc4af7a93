#include "API/Pictures.h"
#include "DG/Observers.h"
#include "DG/PopUp.h"

namespace DG {

void PopUp::AppendItem() { entries_.emplace_back(); }

void PopUp::InsertItem(int16_t pos) {
    if (pos < 1 || pos > GetItemCount()) {
        AppendItem();
        return;
    }
    entries_.insert(entries_.begin() + (pos - 1), std::string());
    if (selected_ >= pos) ++selected_;
}

void PopUp::DeleteItem(int16_t pos) {
    if (pos < 1 || pos > GetItemCount()) return;
    entries_.erase(entries_.begin() + (pos - 1));
    if (selected_ == pos)
        selected_ = 0;
    else if (selected_ > pos)
        --selected_;
}

void PopUp::DeleteAllItems() {
    entries_.clear();
    selected_ = 0;
}

void PopUp::SetItemText(int16_t pos, const std::string& text) {
    if (pos >= 1 && pos <= GetItemCount()) entries_[static_cast<size_t>(pos - 1)] = text;
}

std::string PopUp::GetItemText(int16_t pos) const {
    return pos >= 1 && pos <= GetItemCount() ? entries_[static_cast<size_t>(pos - 1)]
                                             : std::string();
}

void PopUp::SelectItem(int16_t pos) { selected_ = pos >= 1 && pos <= GetItemCount() ? pos : 0; }

bool PopUp::UserSelect(int16_t pos, std::string& why) {
    if (!IsReachable(why)) return false;
    if (pos < 1 || pos > GetItemCount()) {
        why = "the pop-up has no entry " + std::to_string(pos);
        return false;
    }
    const int16_t previous = selected_;
    selected_ = pos;
    const PopUpChangeEvent ev(this, previous);
    Notify<PopUpObserver>([&](PopUpObserver& o) { o.PopUpChanged(ev); });
    return true;
}

void PopUp::Draw(Picture& picture, Point origin) {
    const Rect r = GetRect().Offset(origin.x, origin.y);
    DrawFrame(picture, r, KXPixel(0xF4, 0xF4, 0xF4));
    DrawLabel(picture, {r.left, r.top, r.right - 12, r.bottom}, GetItemText(selected_), false);
    // The small triangle that says it opens.
    const int32_t cx = r.right - 8, cy = r.top + r.GetHeight() / 2 - 1;
    for (int32_t k = 0; k < 3; ++k)
        picture.Fill({cx - 3 + k, cy + k, cx + 4 - k, cy + k + 1}, KXPixel(0x40, 0x40, 0x40), r);
}

}  // namespace DG
