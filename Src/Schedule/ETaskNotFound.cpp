#include "Schedule/ETaskNotFound.h"

ETaskNotFound::ETaskNotFound(const char* file_, unsigned long line_, const char*)
    : EAddon(file_, line_) {
    DisplayAlert();
}

const char* ETaskNotFound::what() const noexcept { return "ETaskNotFound"; }
