#pragma once
// The host's time service. A KXTime is a signed 32-bit count of seconds since 2001-01-01 00:00
// wall-clock time (no time zone), so it covers 1932-12-13 20:45:52 to 2069-01-19 03:14:07; a
// record outside that span is refused, never wrapped into another date.
#include <cstdint>

#include "API/ApiErrors.h"

using KXTime = int32_t;

// The host's broken-down time. dayOfWeek is 0 = Sunday .. 6 = Saturday when the host fills it;
// the host ignores it when converting a record into a value.
struct KXTimeRecord {
    uint16_t year;
    uint16_t month;        // 1-12
    uint16_t dayOfWeek;    // 0 = Sunday
    uint16_t day;          // 1-31
    uint16_t hour;         // 0-23
    uint16_t minute;       // 0-59
    uint16_t second;       // 0-59
    uint16_t millisecond;  // 0-999, dropped by the conversion to a value
};
static_assert(sizeof(KXTimeRecord) == 16, "eight 16-bit fields");
static_assert(sizeof(KXTime) == 4, "the host's time value is 32 bits");

namespace TIErr {
constexpr GSErrCode NoError = 0;
constexpr GSErrCode BadParameter = -50;  // null pointer or flags the service does not know
constexpr GSErrCode BadRecord = -1201;   // a record field outside its calendar range
constexpr GSErrCode OutOfRange = -1202;  // a date that 32 bits of seconds cannot hold
}  // namespace TIErr

// Conversion flags. TIConvertV3 is accepted for files of old versions and changes nothing.
constexpr int32_t TIConvertPlain = 0;
constexpr int32_t TIConvertV3 = 1;

// Time-string flags: TIDateText asks for the date, TIShortForm for its short form; together
// (0x810) they give the user's short date text. TITimeText adds " HH:MM" after the date.
constexpr int32_t TIShortForm = 0x010;
constexpr int32_t TITimeText = 0x100;
constexpr int32_t TIDateText = 0x800;
constexpr int32_t TIShortDate = TIDateText | TIShortForm;

// Smallest buffer that TIGetTimeString may be given.
constexpr int32_t TITimeStringSize = 64;

// Value to record (dayOfWeek filled, millisecond 0). Fails only for a null record.
GSErrCode TIGetTimeRecord(KXTime value, KXTimeRecord* record, int32_t flags);
// Record to value. BadRecord for an impossible date or time of day, OutOfRange outside the
// 32-bit span; *value is left as it was on any failure.
GSErrCode TIGetKXTime(const KXTimeRecord* record, KXTime* value, int32_t flags);
// Value to text in buffer (at least TITimeStringSize bytes).
GSErrCode TIGetTimeString(KXTime value, char* buffer, int32_t flags);
// The present local wall-clock time (held at the ends of the span outside it).
KXTime TIGetTime();
