#pragma once
// Building the model for a date failed at a storey and element type.
#include <cstdint>

#include "AddOn/EAddon.h"

class EModifyModel : public EAddon {
public:
    EModifyModel(const char* file, unsigned long line, int32_t story, int32_t elemtype);
    const char* what() const noexcept override;
};
