#pragma once
// The pattern formatting shared by CHighTime::Format and CHighTimeSpan::Format: the own tokens
// are replaced by numbers, then strftime expands what is left.
#include <cstdint>
#include <ctime>

#include "Dates/HighTimeStatus.h"

struct HighTimeToken {
    const char* text;  // e.g. "%s"
    bool threeDigits;  // "%03d" rather than "%d"
    int64_t value;
};

// Null (buffer untouched) when status is null, size <= 0 or a pointer is null; "Invalid
// datetime" for an invalid status; otherwise the expanded pattern, cut to the buffer.
char* FormatHighTime(char* buffer, int size, const char* pattern, HighTimeStatus status,
                     const HighTimeToken* tokens, int tokenCount, const tm& standard);
