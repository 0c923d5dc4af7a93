#include "Dates/CHighTimeSpan.h"

#include <cstdlib>
#include <limits>

#include "Dates/CHighTime.h"
#include "Dates/HighTimeText.h"

namespace {

constexpr int64_t kTicksPerSecond = CHighTime::kTicksPerSecond;
constexpr int64_t kTicksPerDay = CHighTime::kTicksPerDay;

}  // namespace

CHighTimeSpan::CHighTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds,
                             int32_t milli, int32_t micro, int32_t nano) {
    SetHighTimeSpan(days, hours, minutes, seconds, milli, micro, nano);
}

void CHighTimeSpan::SetHighTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds,
                                    int32_t milli, int32_t micro, int32_t nano) {
    // Nanoseconds to ticks, halves away from zero.
    const int64_t n = nano >= 0 ? (int64_t{nano} + 50) / 100 : (int64_t{nano} - 50) / 100;
    // The sum of the parts, exact: 128 bits cannot overflow here, so no part wraps into another.
    const __int128 total = static_cast<__int128>(days) * kTicksPerDay +
                           static_cast<__int128>(hours) * (3600 * kTicksPerSecond) +
                           static_cast<__int128>(minutes) * (60 * kTicksPerSecond) +
                           static_cast<__int128>(seconds) * kTicksPerSecond +
                           static_cast<__int128>(milli) * 10'000 +
                           static_cast<__int128>(micro) * 10 + n;
    if (total < std::numeric_limits<int64_t>::min() ||
        total > std::numeric_limits<int64_t>::max()) {
        status = HighTimeStatus::invalid;
        ticks = 0;
        return;
    }
    ticks = static_cast<int64_t>(total);
    status = HighTimeStatus::valid;
}

int64_t CHighTimeSpan::GetTotalDays() const { return ticks / kTicksPerSecond / 86'400; }
int64_t CHighTimeSpan::GetTotalHours() const { return ticks / kTicksPerSecond / 3600; }
int64_t CHighTimeSpan::GetTotalMinutes() const { return ticks / kTicksPerSecond / 60; }
int64_t CHighTimeSpan::GetTotalSeconds() const { return ticks / kTicksPerSecond; }
int64_t CHighTimeSpan::GetTotalMilliSeconds() const { return ticks / 10'000; }
int64_t CHighTimeSpan::GetTotalMicroSeconds() const { return ticks / 10; }
int64_t CHighTimeSpan::GetTotalNanoSeconds() const {
    int64_t result = 0;
    if (!__builtin_mul_overflow(ticks, int64_t{100}, &result)) return result;
    return ticks < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

int64_t CHighTimeSpan::GetDays() const { return ticks / kTicksPerSecond / 86'400; }
int64_t CHighTimeSpan::GetHours() const { return ticks / kTicksPerSecond % 86'400 / 3600; }
int64_t CHighTimeSpan::GetMinutes() const { return ticks / kTicksPerSecond % 3600 / 60; }
int64_t CHighTimeSpan::GetSeconds() const { return ticks / kTicksPerSecond % 60; }
int64_t CHighTimeSpan::GetMilliSeconds() const { return ticks % kTicksPerSecond / 10'000; }
int64_t CHighTimeSpan::GetMicroSeconds() const { return ticks % 10'000 / 10; }
int32_t CHighTimeSpan::GetNanoSeconds() const { return static_cast<int32_t>(ticks % 10 * 100); }

CHighTimeSpan CHighTimeSpan::operator+(const CHighTimeSpan& other) const {
    return ArithmeticResult<CHighTimeSpan>(status, other.status, ticks, TickOperation::add,
                                           other.ticks);
}

CHighTimeSpan CHighTimeSpan::operator-(const CHighTimeSpan& other) const {
    return ArithmeticResult<CHighTimeSpan>(status, other.status, ticks, TickOperation::subtract,
                                           other.ticks);
}

CHighTimeSpan& CHighTimeSpan::operator+=(CHighTimeSpan other) { return *this = *this + other; }

char* CHighTimeSpan::Format(char* buffer, int size, const char* pattern) const {
    CHighTime::_HighTimeFormat f{};
    CHighTime::ConvertLongLongToTime(ticks, f);
    // Parts of the span without sign: a span of -1 day 2 hours shows 1 day.
    const int64_t days = std::llabs(ticks / kTicksPerSecond / 86'400);
    const int64_t milli = std::llabs(ticks % kTicksPerSecond / 10'000);
    const int64_t micro = std::llabs(ticks % 10'000 / 10);
    const int64_t nano = std::llabs(ticks % 10 * 100);
    const HighTimeToken tokens[] = {
        {"%D", false, days}, {"%#D", false, days},  {"%s", true, milli}, {"%#s", false, milli},
        {"%u", true, micro}, {"%#u", false, micro}, {"%n", true, nano},  {"%#n", false, nano}};
    // The time of day of the span's count, and its whole years counted from the 1601 base.
    tm standard{};
    CHighTime::ConvertToStandardFormat(f, standard);
    standard.tm_year = f.nYear - 1601;
    return FormatHighTime(buffer, size, pattern, status, tokens, 8, standard);
}
