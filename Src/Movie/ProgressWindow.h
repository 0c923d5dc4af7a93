#pragma once
// The small window that counts the frames of a movie while it is made, with a Cancel button whose
// click the movie loop notices between the steps of a frame.
#include <cstdint>
#include <string>

class ProgressWindow {
public:
    static constexpr short kDialogId = 32450;

    explicit ProgressWindow(int32_t maxValue);
    virtual ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Shows `value` of the maximum in the text and the bar.
    void SetValue(int32_t value);
    bool IsCanceled() const { return canceled; }
    // The text the window shows now.
    const std::string& GetText() const { return counterText; }

    // The text for a value: the format of the resources when it takes exactly two numbers, else
    // a plain "value / maximum".
    static std::string FormatCounter(const char* format, int32_t value, int32_t maxValue);

    bool canceled = false;
    int32_t maxValue;
    int32_t value = 0;
    char format[256];

private:
    std::string counterText;
};
