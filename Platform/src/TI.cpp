#include "TI.h"

#include <cstdio>
#include <ctime>
#include <limits>

#include "PlatformDate.h"

namespace {

// 2001-01-01 00:00 in seconds since 1904-01-01 00:00: 97 years, 25 of them leap years.
constexpr int64_t kKXEpoch = (97 * 365 + 25) * int64_t{86'400};

bool IsLeap(int32_t y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int32_t MonthLength(int32_t y, int32_t m) {
    static const int32_t lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return lengths[m - 1] + (m == 2 && IsLeap(y) ? 1 : 0);
}

bool KnownConversionFlags(int32_t flags) { return flags == TIConvertPlain || flags == TIConvertV3; }

// Seconds since 1904 to a KXTime, or false when 32 bits cannot hold it.
bool ToKX(int64_t seconds1904, KXTime* value) {
    const int64_t kx = seconds1904 - kKXEpoch;
    if (kx < std::numeric_limits<KXTime>::min() || kx > std::numeric_limits<KXTime>::max())
        return false;
    *value = static_cast<KXTime>(kx);
    return true;
}

}  // namespace

GSErrCode TIGetTimeRecord(KXTime value, KXTimeRecord* record, int32_t flags) {
    if (record == nullptr || !KnownConversionFlags(flags)) return TIErr::BadParameter;
    DateTimeRec date{};
    SecondsToDate(kKXEpoch + value, &date);
    record->year = static_cast<uint16_t>(date.year);
    record->month = static_cast<uint16_t>(date.month);
    record->dayOfWeek = static_cast<uint16_t>(date.dayOfWeek - 1);
    record->day = static_cast<uint16_t>(date.day);
    record->hour = static_cast<uint16_t>(date.hour);
    record->minute = static_cast<uint16_t>(date.minute);
    record->second = static_cast<uint16_t>(date.second);
    record->millisecond = 0;
    return TIErr::NoError;
}

GSErrCode TIGetKXTime(const KXTimeRecord* record, KXTime* value, int32_t flags) {
    if (record == nullptr || value == nullptr || !KnownConversionFlags(flags))
        return TIErr::BadParameter;
    const int32_t year = record->year;
    if (record->month < 1 || record->month > 12 || record->day < 1 ||
        record->day > MonthLength(year, record->month) || record->hour > 23 ||
        record->minute > 59 || record->second > 59 || record->millisecond > 999)
        return TIErr::BadRecord;
    // A year beyond what the platform record holds is far outside the 32-bit span anyway.
    if (year > std::numeric_limits<int16_t>::max()) return TIErr::OutOfRange;
    const DateTimeRec date{static_cast<int16_t>(year),
                           static_cast<int16_t>(record->month),
                           static_cast<int16_t>(record->day),
                           static_cast<int16_t>(record->hour),
                           static_cast<int16_t>(record->minute),
                           static_cast<int16_t>(record->second),
                           0};
    int64_t seconds = 0;
    DateToSeconds(&date, &seconds);
    return ToKX(seconds, value) ? TIErr::NoError : TIErr::OutOfRange;
}

GSErrCode TIGetTimeString(KXTime value, char* buffer, int32_t flags) {
    if (buffer == nullptr || (flags & TIDateText) == 0) return TIErr::BadParameter;
    DateTimeRec date{};
    SecondsToDate(kKXEpoch + value, &date);
    int32_t len = ShortDateText(date.year, date.month, date.day, buffer, TITimeStringSize);
    if ((flags & TITimeText) != 0)
        std::snprintf(buffer + len, static_cast<size_t>(TITimeStringSize - len), " %02d:%02d",
                      date.hour, date.minute);
    return TIErr::NoError;
}

KXTime TIGetTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return 0;
    const DateTimeRec date{static_cast<int16_t>(local.tm_year + 1900),
                           static_cast<int16_t>(local.tm_mon + 1),
                           static_cast<int16_t>(local.tm_mday),
                           static_cast<int16_t>(local.tm_hour),
                           static_cast<int16_t>(local.tm_min),
                           static_cast<int16_t>(local.tm_sec),
                           0};
    int64_t seconds = 0;
    DateToSeconds(&date, &seconds);
    KXTime value = 0;
    if (ToKX(seconds, &value)) return value;
    return seconds < kKXEpoch ? std::numeric_limits<KXTime>::min()
                              : std::numeric_limits<KXTime>::max();
}
