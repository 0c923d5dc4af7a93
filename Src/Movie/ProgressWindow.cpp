#include "Movie/ProgressWindow.h"

#include <cstdio>
#include <cstring>

#include "AddOn/ResourceIds.h"
#include "AddOn/ResUtils.h"
#include "DG/DG.h"
#include "RS.h"

ProgressWindow::ProgressWindow(int32_t maxValue_)
    : DG::ModelessDialog(RSGetActiveModule(), kDialogId),
      cancelButton(*this, 1),
      counterText(*this, 2),
      progressBar(*this, 3),
      maxValue(maxValue_) {
    progressBar.SetMin(0);
    progressBar.SetMax(maxValue);
    progressBar.SetValue(0);
    ResUtils::LoadResourceString(format, ResId::ProgressText, 1);
    counterText.SetText(FormatCounter(format, 0, maxValue));
}

ProgressWindow::~ProgressWindow() = default;

std::string ProgressWindow::FormatCounter(const char* format, int32_t value, int32_t maxValue) {
    // The format comes from a text file that people may edit: it is used only when its
    // conversions are exactly the two numbers it is given.
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
    counterText.SetText(FormatCounter(format, value, maxValue));
    progressBar.SetValue(value);
    DG::DeliverPendingEvents();
}
