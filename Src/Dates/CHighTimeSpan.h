#pragma once
// A signed duration in 100-nanosecond ticks, the companion of CHighTime. A plain value type:
// nothing throws or allocates (except Format's work text).
#include <cstdint>

#include "Dates/HighTimeStatus.h"

class CHighTimeSpan {
public:
    // A valid span of zero length.
    CHighTimeSpan() = default;
    // The same as SetHighTimeSpan on a new span.
    CHighTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds, int32_t milli = 0,
                  int32_t micro = 0, int32_t nano = 0);

    // Sets the span to the sum of the parts (nanoseconds rounded half away from zero to whole
    // ticks) and makes it valid. A sum that 64 bits of ticks cannot hold makes it invalid.
    void SetHighTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds,
                         int32_t milli, int32_t micro, int32_t nano);

    // Totals: the whole span in one unit, truncated toward zero. They do not look at status.
    int64_t GetTotalDays() const;
    int64_t GetTotalHours() const;
    int64_t GetTotalMinutes() const;
    int64_t GetTotalSeconds() const;
    int64_t GetTotalMilliSeconds() const;
    int64_t GetTotalMicroSeconds() const;
    // Held at the int64 limits for spans beyond about 292 years, which ticks x 100 cannot hold.
    int64_t GetTotalNanoSeconds() const;

    // Components: days, then what is left in each smaller unit. A negative span gives
    // non-positive components. They do not look at status.
    int64_t GetDays() const;
    int64_t GetHours() const;
    int64_t GetMinutes() const;
    int64_t GetSeconds() const;
    int64_t GetMilliSeconds() const;
    int64_t GetMicroSeconds() const;
    int32_t GetNanoSeconds() const;

    // null wins over invalid, invalid over valid; a result beyond the 64-bit range is
    // invalid.
    CHighTimeSpan operator+(const CHighTimeSpan& other) const;
    CHighTimeSpan operator-(const CHighTimeSpan& other) const;
    CHighTimeSpan& operator+=(CHighTimeSpan other);

    // Text of the span by a pattern; see CHighTime::Format. "%D" / "%#D" give the whole days,
    // "%s", "%u", "%n" (and "%#s", ...) the sub-second parts, all without sign. Null when the
    // span is null, size <= 0 or pattern is null.
    char* Format(char* buffer, int size, const char* pattern) const;

    HighTimeStatus status = HighTimeStatus::valid;
    int64_t ticks = 0;  // 100-ns units
};

static_assert(sizeof(HighTimeStatus) == 4, "status is a 32-bit value");
