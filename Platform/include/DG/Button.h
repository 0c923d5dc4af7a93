#pragma once
// A push button: its text, and a click sent to its observers.
#include "DG/Item.h"

namespace DG {

class Button : public Item {
public:
    Button(Panel& panel, int16_t id) : Item(panel, id) {}

    bool UserClick(std::string& why);
    void Draw(Picture& picture, Point origin) override;
};

}  // namespace DG
