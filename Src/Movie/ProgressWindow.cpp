#include "Movie/ProgressWindow.h"

#include <cstdio>
#include <cstring>

#include "AddOn/ResUtils.h"

ProgressWindow::ProgressWindow(int32_t maxValue_) : maxValue(maxValue_) {
    ResUtils::LoadResourceString(format, 32609, 1);
    SetValue(0);
}

ProgressWindow::~ProgressWindow() = default;

std::string ProgressWindow::FormatCounter(const char* format, int32_t value, int32_t maxValue) {
    // The format comes from a text file the user may edit: it is used only when its conversions
    // are exactly the two numbers it is given.
    int numbers = 0;
    bool usable = format != nullptr;
    for (const char* p = format; usable && *p != '\0'; ++p) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            ++p;
        } else if (std::strncmp(p + 1, "ld", 2) == 0) {
            ++numbers;
            p += 2;
        } else {
            usable = false;
        }
    }
    char text[512];
    if (usable && numbers == 2)
        std::snprintf(text, sizeof text, format, static_cast<long>(value),
                      static_cast<long>(maxValue));
    else
        std::snprintf(text, sizeof text, "%ld / %ld", static_cast<long>(value),
                      static_cast<long>(maxValue));
    return text;
}

void ProgressWindow::SetValue(int32_t value_) {
    value = value_;
    counterText = FormatCounter(format, value, maxValue);
}
