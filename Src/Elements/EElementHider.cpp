#include "Elements/EElementHider.h"

EElementHider::EElementHider(const char* file_, unsigned long line_, short code_)
    : EAddon(file_, line_), code(code_) {}

EElementHider::EElementHider(const char* file_, unsigned long line_, std::ostringstream& stream)
    : EAddon(file_, line_) {
    AddMessage(stream);
}

EElementHider::EElementHider(const char* file_, unsigned long line_, const char* text)
    : EAddon(file_, line_) {
    AddMessage(text);
}

const char* EElementHider::what() const noexcept { return "EElementHider"; }
