#pragma once
// A one-line text field. A person's typing reaches the observers as one content change.
#include "DG/Item.h"

namespace DG {

class TextEdit : public Item {
public:
    TextEdit(Panel& panel, int16_t id) : Item(panel, id) {}

    bool TakesFocus() const override { return true; }
    // The person clicks into the field (it takes the focus) and types the whole text.
    bool UserSetText(const std::string& text, std::string& why);
    void Draw(Picture& picture, Point origin) override;
};

}  // namespace DG
