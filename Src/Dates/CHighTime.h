#pragma once
// A date and time of day with 100-nanosecond resolution: a status and a signed 64-bit count of
// ticks since 1601-01-01 00:00:00 in the proleptic Gregorian calendar, wall-clock, no time zone.
// All calendar arithmetic is integer arithmetic here; nothing throws, allocates (except Format's
// work text) or reads global state (except Format's strftime and the two platform conversions).
#include <cstdint>
#include <ctime>

#include "Dates/CHighTimeSpan.h"
#include "Dates/HighTimeStatus.h"
#include "TI.h"

class CHighTime {
public:
    using _LARGE_INTEGER = int64_t;

    // The broken-down form. Encoding reads the first nine fields only.
    struct _HighTimeFormat {
        int32_t nYear;       // full year, no offset
        int32_t nMonth;      // 1-12
        int32_t nDay;        // 1-31
        int32_t nHour;       // 0-23
        int32_t nMinute;     // 0-59
        int32_t nSecond;     // 0-59
        int32_t nMilli;      // 0-999
        int32_t nMicro;      // 0-999
        int32_t nNano;       // 0, 100, ..., 900
        int32_t nDayOfYear;  // 1-366
        int32_t nDayOfWeek;  // 1 = Sunday .. 7 = Saturday
    };

    // Days of a common year before each month, and the year's length.
    static const int32_t anMonthDayInYear[13];

    // Years that encoding accepts.
    static constexpr int32_t kMinYear = -29000;
    static constexpr int32_t kMaxYear = 29000;

    static constexpr int64_t kTicksPerSecond = 10'000'000;
    static constexpr int64_t kTicksPerDay = 864'000'000'000;

    // Valid, 1601-01-01 00:00.
    CHighTime() = default;
    // Valid when the fields make a date, invalid (ticks 0) when they do not.
    CHighTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
              int milli = 0, int micro = 0, int nano = 0);
    // From the host's time value. When the host cannot break the value into a record, the value
    // is invalid with ticks 0.
    explicit CHighTime(const KXTime& hostTime);

    // As the constructor, on an existing value. On failure status becomes invalid and ticks
    // keep their previous content. Time fields are not bounded: hour 24 is 00:00 of the next day.
    bool SetDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                     int milli = 0, int micro = 0, int nano = 0);

    // Fields of the decoded value; -1 when the value is not valid. Each call decodes afresh.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetMilliSecond() const;
    int GetMicroSecond() const;
    int GetNanoSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday
    int GetDayOfYear() const;  // 1-366

    // null wins over invalid, invalid over valid (the result then has ticks 0); a result beyond the
    // 64-bit range is invalid.
    CHighTime operator+(const CHighTimeSpan& span) const;
    CHighTime operator-(const CHighTimeSpan& span) const;
    CHighTimeSpan operator-(const CHighTime& other) const;
    CHighTime& operator+=(CHighTimeSpan span);

    // Seconds since 1904-01-01 00:00 by the platform's DateToSeconds (sub-seconds dropped), for
    // the platform's DateString; -1 when the value is not valid.
    int64_t ConvertToTime_t() const;

    // Fields to ticks. False, and out untouched, when the year is outside kMinYear..kMaxYear, the
    // month outside 1-12, the day 0 or beyond the month, or the instant beyond what ticks hold.
    static bool ConvertTimeToLongLong(const _HighTimeFormat& fields, _LARGE_INTEGER& out);
    // Ticks to fields; every count decodes (before 1601 too), so it always returns true.
    static bool ConvertLongLongToTime(const _LARGE_INTEGER& ticks, _HighTimeFormat& out);
    // Fills tm's date and time members, tm_wday, tm_yday and tm_isdst (0); touches no other.
    static void ConvertToStandardFormat(const _HighTimeFormat& fields, tm& out);

    // Text by a pattern: "%s", "%u", "%n" become the milli-, micro- and nanoseconds with three
    // digits ("%#s", "%#u", "%#n" without padding), then strftime expands the rest. Null (buffer
    // untouched) when the value is null, size <= 0 or buffer is null; "Invalid datetime" when it is
    // invalid.
    char* Format(char* buffer, int size, const char* pattern) const;

    // Offset of the first token at or after start; -1 when there is none.
    static int FindStr(const char* text, const char* token, int start);
    // Replaces every token in text (size bytes); the number replaced, or 0 (text unchanged) when
    // there is none or the result would not fit with its terminator.
    static int ReplaceStr(char* text, int size, const char* token, const char* replacement);

    HighTimeStatus status = HighTimeStatus::valid;
    int64_t ticks = 0;  // 100-ns units since 1601-01-01 00:00
};

static_assert(sizeof(CHighTime::_HighTimeFormat) == 11 * 4, "eleven 32-bit fields");

// 0 when status and ticks are equal; else -1 when a's ticks are less than b's, 1 when greater,
// and for equal ticks the order of the statuses (valid, invalid, null), so that Compare(a, b)
// is always -Compare(b, a) and the order is one std::sort may rely on. Serves CHighTime and
// CHighTimePersistent.
template <class T>
int Compare(const T& a, const T& b) {
    if (a.ticks != b.ticks) return a.ticks < b.ticks ? -1 : 1;
    if (a.status == b.status) return 0;
    return a.status < b.status ? -1 : 1;
}
