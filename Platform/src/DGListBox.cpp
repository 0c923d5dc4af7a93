#include <algorithm>

#include "API/Pictures.h"
#include "DG/DialogFont.h"
#include "DG/DrawContext.h"
#include "DG/ListBox.h"
#include "DG/Observers.h"
#include "DG/Panel.h"

namespace DG {

ListBox::ListBox(Panel& panel, int16_t id) : Item(panel, id) {}

void ListBox::SetTabFieldCount(int16_t count) {
    const size_t n = static_cast<size_t>(std::max<int16_t>(count, 0));
    for (size_t f = n; f < fields_.size(); ++f)
        if (fields_[f].editor != nullptr) fields_[f].editor->Hide();
    fields_.resize(n);
    for (Row& row : rows_) row.texts.resize(n);
}

void ListBox::SetTabFieldProperties(int16_t field, int32_t begin, int32_t end,
                                    Justification justification, Truncation truncation,
                                    bool hasSeparator, bool enabled) {
    if (!ValidField(field)) return;
    TabField& f = fields_[static_cast<size_t>(field - 1)];
    f.begin = begin;
    f.end = end;
    f.justification = justification;
    f.truncation = truncation;
    f.separator = hasSeparator;
    f.enabled = enabled;
    PlaceEditors();
}

int32_t ListBox::GetTabFieldBeginPosition(int16_t field) const {
    return ValidField(field) ? fields_[static_cast<size_t>(field - 1)].begin : 0;
}

int32_t ListBox::GetTabFieldEndPosition(int16_t field) const {
    return ValidField(field) ? fields_[static_cast<size_t>(field - 1)].end : 0;
}

void ListBox::SetTabFieldBeginEndPosition(int16_t field, int32_t begin, int32_t end) {
    if (!ValidField(field)) return;
    fields_[static_cast<size_t>(field - 1)].begin = begin;
    fields_[static_cast<size_t>(field - 1)].end = end;
    PlaceEditors();
}

void ListBox::SetTabFieldOwnerDrawFlag(int16_t field, bool ownerDrawn) {
    if (ValidField(field)) fields_[static_cast<size_t>(field - 1)].ownerDrawn = ownerDrawn;
}

bool ListBox::GetTabFieldOwnerDrawFlag(int16_t field) const {
    return ValidField(field) && fields_[static_cast<size_t>(field - 1)].ownerDrawn;
}

void ListBox::SetOnTabItem(int16_t field, Item& item) {
    if (!ValidField(field) || &item == this) return;
    fields_[static_cast<size_t>(field - 1)].editor = &item;
    PlaceEditors();
}

void ListBox::RemoveOnTabItem(int16_t field) {
    if (!ValidField(field)) return;
    Item*& editor = fields_[static_cast<size_t>(field - 1)].editor;
    if (editor != nullptr) editor->Hide();
    editor = nullptr;
}

Item* ListBox::GetOnTabItem(int16_t field) const {
    return ValidField(field) ? fields_[static_cast<size_t>(field - 1)].editor : nullptr;
}

void ListBox::AppendItem() { InsertItem(static_cast<int16_t>(GetItemCount() + 1)); }

void ListBox::InsertItem(int16_t pos) {
    if (GetItemCount() == INT16_MAX) return;
    pos = std::clamp<int16_t>(pos, 1, static_cast<int16_t>(GetItemCount() + 1));
    Row row;
    row.texts.resize(fields_.size());
    rows_.insert(rows_.begin() + (pos - 1), std::move(row));
    if (selected_ >= pos) ++selected_;
}

void ListBox::DeleteItem(int16_t pos) {
    if (pos == AllItems) {
        rows_.clear();
        selected_ = 0;
        top_ = 1;
    } else if (ValidRow(pos)) {
        rows_.erase(rows_.begin() + (pos - 1));
        if (selected_ == pos)
            selected_ = 0;
        else if (selected_ > pos)
            --selected_;
        top_ = std::clamp<int16_t>(top_, 1, std::max<int16_t>(GetItemCount(), 1));
    }
    PlaceEditors();
}

void ListBox::SetTabItemText(int16_t row, int16_t field, const std::string& text) {
    if (ValidRow(row) && ValidField(field))
        rows_[static_cast<size_t>(row - 1)].texts[static_cast<size_t>(field - 1)] = text;
}

std::string ListBox::GetTabItemText(int16_t row, int16_t field) const {
    if (!ValidRow(row) || !ValidField(field)) return {};
    return rows_[static_cast<size_t>(row - 1)].texts[static_cast<size_t>(field - 1)];
}

void ListBox::SetItemValue(int16_t row, double value) {
    if (ValidRow(row)) rows_[static_cast<size_t>(row - 1)].value = value;
}

double ListBox::GetItemValue(int16_t row) const {
    return ValidRow(row) ? rows_[static_cast<size_t>(row - 1)].value : 0;
}

void ListBox::SetItemColor(int16_t row, const Color& color) {
    if (ValidRow(row)) rows_[static_cast<size_t>(row - 1)].color = color;
}

std::optional<Color> ListBox::GetItemColor(int16_t row) const {
    return ValidRow(row) ? rows_[static_cast<size_t>(row - 1)].color : std::nullopt;
}

void ListBox::SelectItem(int16_t row) {
    selected_ = ValidRow(row) ? row : 0;
    if (selected_ != 0) {
        const int16_t shown = static_cast<int16_t>(
            std::max<int32_t>((GetHeight() - 2) / std::max(itemHeight_, 1), 1));
        if (selected_ < top_) top_ = selected_;
        if (selected_ >= top_ + shown) top_ = static_cast<int16_t>(selected_ - shown + 1);
    }
    PlaceEditors();
}

void ListBox::DeselectItem(int16_t row) {
    if (row == selected_ || row == AllItems) SelectItem(0);
}

int16_t ListBox::FirstShownRow() const { return top_; }

Rect ListBox::GetCellRect(int16_t row, int16_t field) const {
    const Rect list = GetRect();
    const int32_t top = list.top + 1 + (row - top_) * itemHeight_;
    const int32_t begin = GetTabFieldBeginPosition(field), end = GetTabFieldEndPosition(field);
    return {list.left + begin, top, list.left + end, top + itemHeight_};
}

void ListBox::PlaceEditors() {
    for (int16_t f = 1; f <= GetTabFieldCount(); ++f) {
        Item* editor = fields_[static_cast<size_t>(f - 1)].editor;
        if (editor == nullptr) continue;
        if (selected_ == 0 || !IsVisible()) {
            editor->Hide();
            continue;
        }
        const Rect cell = GetCellRect(selected_, f);
        const int32_t w = editor->GetWidth(), h = editor->GetHeight();
        const int32_t y = cell.top + (itemHeight_ - h) / 2;
        editor->SetRect({cell.left + 3, y, cell.left + 3 + w, y + h});
        editor->Show();
    }
}

std::string ListBox::GetCellText(int16_t row, int16_t field) {
    if (!ValidRow(row) || !ValidField(field)) return {};
    if (!GetTabFieldOwnerDrawFlag(field)) return GetTabItemText(row, field);
    const Rect cell = GetCellRect(row, field);
    Picture scratch(cell.GetWidth(), cell.GetHeight());
    DrawContext context(scratch, scratch.Bounds());
    const ListBoxUpdateEvent ev(this, row, field, context, cell.GetWidth(), itemHeight_);
    Notify<ListBoxObserver>([&](ListBoxObserver& o) { o.ListBoxTabFieldUpdate(ev); });
    return context.GetDrawnText();
}

void ListBox::EnableDraw() {
    if (drawOff_ > 0) --drawOff_;
    if (drawOff_ == 0 && redrawPending_) {
        redrawPending_ = false;
        ++redraws_;
    }
}

void ListBox::Redraw() {
    if (drawOff_ > 0)
        redrawPending_ = true;
    else
        ++redraws_;
}

void ListBox::RedrawItem(int16_t) { Redraw(); }

void ListBox::SetVisibility(bool visible) {
    Item::SetVisibility(visible);
    PlaceEditors();
}

bool ListBox::UserSelect(int16_t row, std::string& why) {
    if (!IsReachable(why)) return false;
    if (row < 0 || row > GetItemCount()) {
        why = "the list has no row " + std::to_string(row);
        return false;
    }
    UserFocus(why);
    if (row == selected_) return true;
    SelectItem(row);
    const ListBoxSelectionEvent ev(this);
    Notify<ListBoxObserver>([&](ListBoxObserver& o) { o.ListBoxSelectionChanged(ev); });
    return true;
}

bool ListBox::UserDoubleClick(int16_t row, std::string& why) {
    if (!ValidRow(row)) {
        why = "the list has no row " + std::to_string(row);
        return false;
    }
    if (!UserSelect(row, why)) return false;
    const ListBoxDoubleClickEvent ev(this, row);
    Notify<ListBoxObserver>([&](ListBoxObserver& o) { o.ListBoxDoubleClicked(ev); });
    return true;
}

void ListBox::Draw(Picture& picture, Point origin) {
    const Rect list = GetRect().Offset(origin.x, origin.y);
    DrawFrame(picture, list, KXPixel(0xFF, 0xFF, 0xFF));
    const Rect inside{list.left + 1, list.top + 1, list.left + 1 + std::max(GetItemWidth() - 1, 0),
                      list.bottom - 1};
    // The scroll bar's track.
    picture.Fill({inside.right, inside.top, list.right - 1, inside.bottom},
                 KXPixel(0xF0, 0xF0, 0xF0));
    for (int16_t row = top_; row <= GetItemCount(); ++row) {
        const int32_t rowTop = list.top + 1 + (row - top_) * itemHeight_;
        const Rect rowRect{inside.left, rowTop, inside.right, rowTop + itemHeight_};
        if (rowRect.top >= inside.bottom) break;
        if (row == selected_) picture.Fill(rowRect, KXPixel(0xB4, 0xD5, 0xFE), inside);
        const std::optional<Color> color = GetItemColor(row);
        const uint32_t ink =
            color ? KXPixel(color->red, color->green, color->blue) : KXPixel(0, 0, 0);
        for (int16_t f = 1; f <= GetTabFieldCount(); ++f) {
            const TabField& field = fields_[static_cast<size_t>(f - 1)];
            const Rect cell = GetCellRect(row, f).Offset(origin.x, origin.y).Intersect(inside);
            if (cell.IsEmpty()) continue;
            if (field.separator)
                picture.Fill({cell.right - 1, cell.top, cell.right, cell.bottom},
                             KXPixel(0xD0, 0xD0, 0xD0), inside);
            if (field.ownerDrawn) {
                DrawContext context(picture, cell);
                const ListBoxUpdateEvent ev(this, row, f, context, cell.GetWidth(), itemHeight_);
                Notify<ListBoxObserver>([&](ListBoxObserver& o) { o.ListBoxTabFieldUpdate(ev); });
                continue;
            }
            const std::string& text =
                rows_[static_cast<size_t>(row - 1)].texts[static_cast<size_t>(f - 1)];
            const int32_t width = DialogFont::TextWidth(text);
            int32_t x = cell.left + 2;
            if (field.justification == Center) x = cell.left + (cell.GetWidth() - width) / 2;
            if (field.justification == Right) x = cell.right - 2 - width;
            const int32_t baseline =
                cell.top + (itemHeight_ + DialogFont::kAscent - DialogFont::kDescent) / 2;
            DialogFont::Draw(picture, text, x, baseline, ink, cell);
        }
    }
}

}  // namespace DG
