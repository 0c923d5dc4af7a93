#include "Movie/EAviCreation.h"

#include <string>

EAviCreation::EAviCreation(const char* file_, unsigned long line_, ErrCodes code_)
    : EAddon(file_, line_), code(code_) {
    AddMessage(("Errorcode: " + std::to_string(static_cast<int32_t>(code_))).c_str());
}

const char* EAviCreation::what() const noexcept { return "EAviCreation"; }
