#pragma once
// A pop-up menu of entries numbered from 1; its value is the selected entry (0 = none).
#include <vector>

#include "DG/Item.h"

namespace DG {

class PopUp : public Item {
public:
    PopUp(Panel& panel, int16_t id) : Item(panel, id) {}

    void AppendItem();
    // Inserts an empty entry before `pos` (past the end: appends).
    void InsertItem(int16_t pos);
    void DeleteItem(int16_t pos);
    void DeleteAllItems();
    int16_t GetItemCount() const { return static_cast<int16_t>(entries_.size()); }
    void SetItemText(int16_t pos, const std::string& text);
    std::string GetItemText(int16_t pos) const;
    // Selecting an entry that does not exist selects none.
    void SelectItem(int16_t pos);
    int16_t GetSelectedItem() const { return selected_; }

    // The person opens the pop-up and chooses entry `pos`.
    bool UserSelect(int16_t pos, std::string& why);
    void Draw(Picture& picture, Point origin) override;

private:
    std::vector<std::string> entries_;
    int16_t selected_ = 0;
};

}  // namespace DG
