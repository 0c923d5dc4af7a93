#pragma once
// A list of rows (numbered from 1) in tab fields (numbered from 1). Each field has its own
// geometry (begin and end, relative to the list's left edge), justification and truncation, may
// be drawn by the observers (owner-drawn), and may carry an item of the panel as its in-cell
// editor, which then sits in that field of the selected row. Each row has a text per field, a
// number (its item value) and may have a colour for its texts.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DG/Item.h"

namespace DG {

class ListBox : public Item {
public:
    enum Justification : int32_t { Left = 0, Center = 1, Right = 2 };
    enum Truncation : int32_t { NoTruncate = 0, EndTruncate = 4096 };
    static constexpr int16_t AllItems = 0;

    ListBox(Panel& panel, int16_t id);

    // Tab fields.
    void SetTabFieldCount(int16_t count);
    int16_t GetTabFieldCount() const { return static_cast<int16_t>(fields_.size()); }
    void SetTabFieldProperties(int16_t field, int32_t begin, int32_t end,
                               Justification justification, Truncation truncation,
                               bool hasSeparator = false, bool enabled = true);
    int32_t GetTabFieldBeginPosition(int16_t field) const;
    int32_t GetTabFieldEndPosition(int16_t field) const;
    void SetTabFieldBeginEndPosition(int16_t field, int32_t begin, int32_t end);
    void SetTabFieldOwnerDrawFlag(int16_t field, bool ownerDrawn);
    bool GetTabFieldOwnerDrawFlag(int16_t field) const;
    // In-cell editors. Attaching shows the item in the selected row's cell; removing hides it.
    void SetOnTabItem(int16_t field, Item& item);
    void RemoveOnTabItem(int16_t field);
    Item* GetOnTabItem(int16_t field) const;

    // Rows.
    void AppendItem();
    void InsertItem(int16_t pos);
    // AllItems deletes every row.
    void DeleteItem(int16_t pos);
    int16_t GetItemCount() const { return static_cast<int16_t>(rows_.size()); }
    void SetTabItemText(int16_t row, int16_t field, const std::string& text);
    std::string GetTabItemText(int16_t row, int16_t field) const;
    void SetItemValue(int16_t row, double value);
    double GetItemValue(int16_t row) const;
    void SetItemColor(int16_t row, const Color& color);
    std::optional<Color> GetItemColor(int16_t row) const;

    // Selection: 0 = none. Setting it sends no event; a person's click does.
    virtual void SelectItem(int16_t row);
    void DeselectItem(int16_t row);
    int16_t GetSelectedItem() const { return selected_; }

    int32_t GetItemHeight() const { return itemHeight_; }
    void SetItemHeight(int32_t height) { itemHeight_ = height; }
    // The width the rows may use: the list less its vertical scroll bar.
    int32_t GetItemWidth() const { return GetWidth() - kScrollBarWidth; }
    static constexpr int32_t kScrollBarWidth = 16;
    // Where the cell (row, field) lies, in panel coordinates.
    Rect GetCellRect(int16_t row, int16_t field) const;

    // What a person reads in a cell: its text, or for an owner-drawn field the texts the
    // observers draw into it.
    std::string GetCellText(int16_t row, int16_t field);

    // Drawing on and off (nested); a redraw while it is off waits for the last EnableDraw.
    void DisableDraw() { ++drawOff_; }
    void EnableDraw();
    bool IsDrawEnabled() const { return drawOff_ == 0; }
    void Redraw();
    void RedrawItem(int16_t row);
    // How many redraws the list has done (a redraw asked while drawing is off counts once, when
    // drawing comes back on).
    int32_t GetRedrawCount() const { return redraws_; }

    bool TakesFocus() const override { return true; }
    void SetVisibility(bool visible) override;
    // A person clicks a row (0: below the rows); a change of selection reaches the observers.
    bool UserSelect(int16_t row, std::string& why);
    // A person double-clicks a row: its selection first, as a click, then the double click.
    bool UserDoubleClick(int16_t row, std::string& why);
    void Draw(Picture& picture, Point origin) override;

private:
    struct TabField {
        int32_t begin = 0, end = 0;
        Justification justification = Left;
        Truncation truncation = NoTruncate;
        bool separator = false, enabled = true, ownerDrawn = false;
        Item* editor = nullptr;
    };
    struct Row {
        std::vector<std::string> texts;
        double value = 0;
        std::optional<Color> color;
    };
    bool ValidRow(int16_t row) const { return row >= 1 && row <= GetItemCount(); }
    bool ValidField(int16_t field) const { return field >= 1 && field <= GetTabFieldCount(); }
    void PlaceEditors();
    int16_t FirstShownRow() const;

    std::vector<TabField> fields_;
    std::vector<Row> rows_;
    int16_t selected_ = 0;
    int16_t top_ = 1;  // the first row shown
    int32_t itemHeight_ = 20;
    int drawOff_ = 0;
    bool redrawPending_ = false;
    int32_t redraws_ = 0;
};

}  // namespace DG
