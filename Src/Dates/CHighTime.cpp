#include "Dates/CHighTime.h"

#include <cstring>

#include "CivilDays.h"
#include "Dates/HighTimeText.h"
#include "PlatformDate.h"

const int32_t CHighTime::anMonthDayInYear[13] = {0,   31,  59,  90,  120, 151, 181,
                                                 212, 243, 273, 304, 334, 365};

namespace {

constexpr int64_t kSecondsPerDay = 86'400;

// Division and remainder rounding toward minus infinity, so that dates before 1601 (negative
// ticks) and years before 0 count the same way as the others.
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
// The remainder that goes with FloorDiv, taking on the sign of b. Built from the truncating
// remainder, so that it holds for every a: FloorDiv(a, b) * b itself may leave the 64-bit range.
constexpr int64_t FloorMod(int64_t a, int64_t b) {
    const int64_t r = a % b;
    return (r != 0 && (r < 0) != (b < 0)) ? r + b : r;
}
static_assert(FloorMod(INT64_MIN, 10'000'000) == 5'224'192, "floor remainder at the low end");

constexpr bool IsLeapYear(int64_t y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

// 1601-01-01, day 0 of the ticks, in days from 1970-01-01.
constexpr int64_t kDays1601 = -134'774;
static_assert(DaysFromCivil(1601, 1, 1) == kDays1601, "1601-01-01 on the day count");

static_assert(sizeof(int32_t) == 4 && sizeof(int64_t) == 8, "fixed widths");

}  // namespace

CHighTime::CHighTime(int year, int month, int day, int hour, int minute, int second, int milli,
                     int micro, int nano) {
    if (!SetDateTime(year, month, day, hour, minute, second, milli, micro, nano)) ticks = 0;
}

CHighTime::CHighTime(const KXTime& hostTime) {
    KXTimeRecord record{};
    if (TIGetTimeRecord(hostTime, &record, TIConvertPlain) != TIErr::NoError) {
        status = HighTimeStatus::invalid;
        return;
    }
    SetDateTime(record.year, record.month, record.day, record.hour, record.minute, record.second,
                record.millisecond, 0, 0);
}

bool CHighTime::SetDateTime(int year, int month, int day, int hour, int minute, int second,
                            int milli, int micro, int nano) {
    const _HighTimeFormat fields{year, month, day, hour, minute, second, milli, micro, nano, 0, 0};
    if (ConvertTimeToLongLong(fields, ticks)) {
        status = HighTimeStatus::valid;
        return true;
    }
    status = HighTimeStatus::invalid;
    return false;
}

bool CHighTime::ConvertTimeToLongLong(const _HighTimeFormat& f, _LARGE_INTEGER& out) {
    // The time of day carries upward as unsigned 32-bit numbers, so no time field is bounded:
    // hour 24 is 00:00 of the next day, minute 90 is 1:30 later.
    const uint32_t n = (static_cast<uint32_t>(f.nNano) + 50u) / 100u;  // ticks, halves upward
    const uint32_t us = static_cast<uint32_t>(f.nMicro) + n / 10u;
    const uint32_t ms = static_cast<uint32_t>(f.nMilli) + us / 1000u;
    const uint32_t s = static_cast<uint32_t>(f.nSecond) + ms / 1000u;
    const uint32_t mi = static_cast<uint32_t>(f.nMinute) + s / 60u;
    const uint32_t h = static_cast<uint32_t>(f.nHour) + mi / 60u;
    const uint32_t extraDays = h / 24u;

    const int64_t y = f.nYear;
    if (y < kMinYear || y > kMaxYear) return false;
    if (f.nMonth == 0 || static_cast<uint32_t>(f.nMonth) > 12u) return false;
    const bool leap = IsLeapYear(y);
    const int32_t monthLength = anMonthDayInYear[f.nMonth] - anMonthDayInYear[f.nMonth - 1] +
                                (f.nMonth == 2 && leap ? 1 : 0);
    // Only the day of the month is held against the calendar; a negative day counts backwards.
    if (f.nDay == 0 || f.nDay > monthLength) return false;

    // Leap days up to and including year y, so a January or February of a leap year takes one
    // back. Floor division keeps the count right for years before 0.
    int64_t day = 365 * y + FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400) +
                  anMonthDayInYear[f.nMonth - 1] + f.nDay + extraDays;  // |day| < 2^33
    if (leap && f.nMonth <= 2) --day;
    day -= 584'754;  // 1601-01-01 is day 0

    const int64_t secondsOfDay = int64_t{h % 24u} * 3600 + int64_t{mi % 60u} * 60 + s % 60u;
    const int64_t subSecond = int64_t{ms % 1000u} * 10'000 + int64_t{us % 1000u} * 10 + n % 10u;
    // A far-off day count (negative days, huge carried hours, the earliest years of the range)
    // may leave the 64-bit range: refused rather than wrapped into another date.
    const __int128 result = static_cast<__int128>(day) * (kSecondsPerDay * kTicksPerSecond) +
                            secondsOfDay * kTicksPerSecond + subSecond;
    if (result < INT64_MIN || result > INT64_MAX) return false;
    out = static_cast<int64_t>(result);
    return true;
}

bool CHighTime::ConvertLongLongToTime(const _LARGE_INTEGER& t, _HighTimeFormat& out) {
    const int64_t seconds = FloorDiv(t, kTicksPerSecond);    // |seconds| < 2^40
    const int64_t frac = FloorMod(t, kTicksPerSecond);       // [0, 9 999 999]
    const int64_t days = FloorDiv(seconds, kSecondsPerDay);  // 1601-01-01 is 0; |days| < 2^24
    const int64_t sod = FloorMod(seconds, kSecondsPerDay);   // [0, 86 399]

    // 1601-01-01 was a Monday (2).
    out.nDayOfWeek = static_cast<int32_t>(FloorMod(days + 1, 7) + 1);

    const CivilDate date = CivilFromDays(days + kDays1601);
    const int64_t year = date.year;
    const int32_t month = date.month;
    const int32_t day = date.day;

    out.nYear = static_cast<int32_t>(year);  // |year| < 2^31 for every 64-bit count
    out.nMonth = month;
    out.nDay = day;
    out.nDayOfYear = anMonthDayInYear[month - 1] + day + (month > 2 && IsLeapYear(year) ? 1 : 0);
    out.nHour = static_cast<int32_t>(sod / 3600);
    out.nMinute = static_cast<int32_t>(sod / 60 % 60);
    out.nSecond = static_cast<int32_t>(sod % 60);
    out.nMilli = static_cast<int32_t>(frac / 10'000);
    out.nMicro = static_cast<int32_t>(frac / 10 % 1000);
    out.nNano = static_cast<int32_t>(frac % 10 * 100);
    return true;
}

void CHighTime::ConvertToStandardFormat(const _HighTimeFormat& f, tm& out) {
    out.tm_year = f.nYear - 1900;
    out.tm_mon = f.nMonth - 1;
    out.tm_mday = f.nDay;
    out.tm_hour = f.nHour;
    out.tm_min = f.nMinute;
    out.tm_sec = f.nSecond;
    out.tm_wday = f.nDayOfWeek - 1;
    out.tm_yday = f.nDayOfYear - 1;
    out.tm_isdst = 0;
}

namespace {

// One field of the decoded value, -1 when the value is not valid.
int DecodedField(const CHighTime& time, int32_t CHighTime::_HighTimeFormat::*field) {
    if (time.status != HighTimeStatus::valid) return -1;
    CHighTime::_HighTimeFormat fields{};
    CHighTime::ConvertLongLongToTime(time.ticks, fields);
    return fields.*field;
}

}  // namespace

int CHighTime::GetYear() const { return DecodedField(*this, &_HighTimeFormat::nYear); }
int CHighTime::GetMonth() const { return DecodedField(*this, &_HighTimeFormat::nMonth); }
int CHighTime::GetDay() const { return DecodedField(*this, &_HighTimeFormat::nDay); }
int CHighTime::GetHour() const { return DecodedField(*this, &_HighTimeFormat::nHour); }
int CHighTime::GetMinute() const { return DecodedField(*this, &_HighTimeFormat::nMinute); }
int CHighTime::GetSecond() const { return DecodedField(*this, &_HighTimeFormat::nSecond); }
int CHighTime::GetMilliSecond() const { return DecodedField(*this, &_HighTimeFormat::nMilli); }
int CHighTime::GetMicroSecond() const { return DecodedField(*this, &_HighTimeFormat::nMicro); }
int CHighTime::GetNanoSecond() const { return DecodedField(*this, &_HighTimeFormat::nNano); }
int CHighTime::GetDayOfWeek() const { return DecodedField(*this, &_HighTimeFormat::nDayOfWeek); }
int CHighTime::GetDayOfYear() const { return DecodedField(*this, &_HighTimeFormat::nDayOfYear); }

CHighTime CHighTime::operator+(const CHighTimeSpan& span) const {
    return ArithmeticResult<CHighTime>(status, span.status, ticks, TickOperation::add, span.ticks);
}

CHighTime CHighTime::operator-(const CHighTimeSpan& span) const {
    return ArithmeticResult<CHighTime>(status, span.status, ticks, TickOperation::subtract,
                                       span.ticks);
}

CHighTimeSpan CHighTime::operator-(const CHighTime& other) const {
    return ArithmeticResult<CHighTimeSpan>(status, other.status, ticks, TickOperation::subtract,
                                           other.ticks);
}

CHighTime& CHighTime::operator+=(CHighTimeSpan span) { return *this = *this + span; }

int64_t CHighTime::ConvertToTime_t() const {
    if (status != HighTimeStatus::valid) return -1;
    _HighTimeFormat f{};
    ConvertLongLongToTime(ticks, f);
    // Every 64-bit count decodes to a year within -27 627 .. 30 828, which the record's 16 bits
    // hold.
    const DateTimeRec date{static_cast<int16_t>(f.nYear),
                           static_cast<int16_t>(f.nMonth),
                           static_cast<int16_t>(f.nDay),
                           static_cast<int16_t>(f.nHour),
                           static_cast<int16_t>(f.nMinute),
                           static_cast<int16_t>(f.nSecond),
                           0};
    int64_t seconds = -1;
    DateToSeconds(&date, &seconds);
    return seconds;
}

// ---- Text ----

int CHighTime::FindStr(const char* text, const char* token, int start) {
    if (text == nullptr || token == nullptr) return -1;
    if (start < 0) start = 0;
    const size_t length = std::strlen(text);
    if (static_cast<size_t>(start) > length) return -1;
    const char* found = std::strstr(text + start, token);
    return found == nullptr ? -1 : static_cast<int>(found - text);
}

int CHighTime::ReplaceStr(char* text, int size, const char* token, const char* replacement) {
    if (text == nullptr || token == nullptr || replacement == nullptr || size <= 0) return 0;
    const size_t tokenLength = std::strlen(token);
    if (tokenLength == 0) return 0;  // an empty token is everywhere: nothing sensible to replace
    const size_t replacementLength = std::strlen(replacement);

    // Occurrences side by side, left to right; the same ones the replacing loop meets.
    int count = 0;
    for (int at = FindStr(text, token, 0); at >= 0;
         at = FindStr(text, token, at + static_cast<int>(tokenLength)))
        ++count;
    if (count == 0) return 0;

    const int64_t length = static_cast<int64_t>(std::strlen(text));
    const int64_t newLength = length + count * (static_cast<int64_t>(replacementLength) -
                                                static_cast<int64_t>(tokenLength));
    if (newLength + 1 > size) return 0;

    int64_t textLength = length;
    for (int at = FindStr(text, token, 0); at >= 0;) {
        char* place = text + at;
        // Move the rest, terminator included, to just after where the replacement will end.
        const size_t restLength = static_cast<size_t>(textLength - at) - tokenLength + 1;
        std::memmove(place + replacementLength, place + tokenLength, restLength);
        std::memcpy(place, replacement, replacementLength);
        textLength += static_cast<int64_t>(replacementLength) - static_cast<int64_t>(tokenLength);
        // Search on after the replacement, never inside it: a replacement that holds the token
        // would otherwise be replaced again beyond the room measured above.
        at = FindStr(text, token, at + static_cast<int>(replacementLength));
    }
    return count;
}

char* CHighTime::Format(char* buffer, int size, const char* pattern) const {
    _HighTimeFormat f{};
    ConvertLongLongToTime(ticks, f);
    const HighTimeToken tokens[] = {{"%s", true, f.nMilli}, {"%#s", false, f.nMilli},
                                    {"%u", true, f.nMicro}, {"%#u", false, f.nMicro},
                                    {"%n", true, f.nNano},  {"%#n", false, f.nNano}};
    tm standard{};
    ConvertToStandardFormat(f, standard);
    return FormatHighTime(buffer, size, pattern, status, tokens, 6, standard);
}
