#pragma once
// A date field holding a value in the host's time (KXTime); it shows the user's short date.
#include "DG/Item.h"
#include "TI.h"

namespace DG {

class DateControl : public Item {
public:
    DateControl(Panel& panel, int16_t id) : Item(panel, id) {}

    void SetValue(KXTime value) { value_ = value; }
    KXTime GetValue() const { return value_; }

    bool TakesFocus() const override { return true; }
    // The person clicks into the field (it takes the focus) and sets a new date.
    bool UserSetValue(KXTime value, std::string& why);
    void Draw(Picture& picture, Point origin) override;

private:
    KXTime value_ = 0;
};

}  // namespace DG
