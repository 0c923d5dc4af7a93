#include "Elements/EModifyModel.h"

#include <string>

EModifyModel::EModifyModel(const char* file_, unsigned long line_, int32_t story, int32_t elemtype)
    : EAddon(file_, line_) {
    AddMessage(
        ("model build, story: " + std::to_string(story) + " elemtype: " + std::to_string(elemtype))
            .c_str());
}

const char* EModifyModel::what() const noexcept { return "EModifyModel"; }
