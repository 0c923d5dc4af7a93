#pragma once
// A progress bar: a value between a minimum and a maximum, drawn as a filled share of its width.
#include <cstdint>

#include "DG/Item.h"

namespace DG {

class ProgressBar : public Item {
public:
    ProgressBar(Panel& panel, int16_t id) : Item(panel, id) {}

    void SetMin(int32_t min) { min_ = min; }
    void SetMax(int32_t max) { max_ = max; }
    // The value is kept within the minimum and the maximum.
    void SetValue(int32_t value);
    int32_t GetMin() const { return min_; }
    int32_t GetMax() const { return max_; }
    int32_t GetValue() const { return value_; }
    // The filled width in pixels for the present value.
    int32_t FilledWidth() const;

    void Draw(Picture& picture, Point origin) override;

private:
    int32_t min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace DG
