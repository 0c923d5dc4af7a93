#pragma once
// The small modeless window that counts the frames of a movie while it is made: a text, a bar and
// a Cancel button. The click sets a flag that the movie loop reads between the steps of a frame;
// the window itself never closes on the user's request.
#include <cstdint>
#include <string>

#include "AddOn/ResourceIds.h"
#include "DG/Button.h"
#include "DG/LeftText.h"
#include "DG/ModelessDialog.h"
#include "DG/ProgressBar.h"
#include "KX/DisposableObject.h"

class ProgressWindow : public DG::ModelessDialog, public KX::DisposableObject {
public:
    static constexpr short kDialogId = ResId::ProgressWindow;

    // Built from the active resource module's layout.
    explicit ProgressWindow(int32_t maxValue);
    ~ProgressWindow() override;

    // Shows `value` of the maximum in the text and the bar, then lets the host deliver what the
    // user did meanwhile (a click on Cancel).
    void SetValue(int32_t value);
    bool IsCanceled() const { return canceled; }

    // The text for a value: the resources' format when its conversions are exactly the two
    // numbers, else a plain "value / maximum".
    static std::string FormatCounter(const char* format, int32_t value, int32_t maxValue);

    DG::Button cancelButton;
    DG::LeftText counterText;
    DG::ProgressBar progressBar;
    bool canceled = false;
    int32_t maxValue;
    int32_t value = 0;
    char format[256];
};
