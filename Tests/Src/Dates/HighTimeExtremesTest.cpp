// Dates at the two ends of what 64 bits of ticks hold, through every operation of the date, the
// span and the stored date. Each answer must be a value that reads back or the invalid status;
// the sanitizer build shows that none of them takes an undefined path on the way. Expectations
// come from the standard library's calendar and from 128-bit sums, not from the date code.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Dates/CHighTimePersistent.h"
#include "Platform/TimeLocale.h"

namespace {

constexpr int64_t kSecond = 10'000'000;
constexpr int64_t kDay = 86'400 * kSecond;

// Tick counts at the ends of the range and within a second and a day of them.
constexpr int64_t kExtremes[] = {
    INT64_MIN,           INT64_MIN + 1,        INT64_MIN + kSecond - 1,
    INT64_MIN + kSecond, INT64_MIN + kDay - 1, INT64_MIN + kDay,
    INT64_MAX,           INT64_MAX - 1,        INT64_MAX - kSecond + 1,
    INT64_MAX - kSecond, INT64_MAX - kDay + 1, INT64_MAX - kDay,
};

// A 128-bit result as a date or span: valid when 64 bits hold it, invalid (ticks 0) otherwise.
struct Outcome {
    HighTimeStatus status;
    int64_t ticks;
};
Outcome Fit(__int128 exact) {
    if (exact < INT64_MIN || exact > INT64_MAX) return {HighTimeStatus::invalid, 0};
    return {HighTimeStatus::valid, static_cast<int64_t>(exact)};
}

__int128 FloorDiv(__int128 a, int64_t b) {
    const __int128 q = a / b;
    return q * b > a ? q - 1 : q;  // b > 0 everywhere here
}

// The date and time of a tick count, by std::chrono's calendar.
struct Civil {
    int year;
    int month, day, hour, minute, second;
    int64_t subSecondTicks;
    int dayOfWeek;  // 1 = Sunday
    int dayOfYear;
    int64_t dayStart;  // day number since 1601-01-01
};
Civil CivilOf(int64_t ticks) {
    using namespace std::chrono;
    const __int128 dayNumber = FloorDiv(ticks, kDay);
    const __int128 secondOfDay = FloorDiv(ticks - dayNumber * kDay, kSecond);
    const sys_days date =
        sys_days{year{1601} / January / 1} + days{static_cast<int64_t>(dayNumber)};
    const year_month_day ymd{date};
    const int64_t yday = (date - sys_days{ymd.year() / January / 1}).count();
    return {static_cast<int>(ymd.year()),
            static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            static_cast<int>(secondOfDay / 3600),
            static_cast<int>(secondOfDay / 60 % 60),
            static_cast<int>(secondOfDay % 60),
            static_cast<int64_t>(ticks - dayNumber * kDay - secondOfDay * kSecond),
            static_cast<int>(weekday{date}.c_encoding()) + 1,
            static_cast<int>(yday) + 1,
            static_cast<int64_t>(dayNumber)};
}

// Days from 1601-01-01 to 1 January of a year.
int64_t DaysFrom1601(int y) {
    using namespace std::chrono;
    return (sys_days{year{y} / January / 1} - sys_days{year{1601} / January / 1}).count();
}

bool EncodableYear(int year) { return year >= -29'000 && year <= 29'000; }

CHighTimePersistent At(int64_t ticks, HighTimeStatus status = HighTimeStatus::valid) {
    CHighTimePersistent value;
    value.status = status;
    value.ticks = ticks;
    return value;
}

CHighTimeSpan Span(int64_t ticks) {
    CHighTimeSpan span;
    span.ticks = ticks;
    return span;
}

template <typename T>
void ExpectOutcome(const T& value, Outcome expected, const char* what) {
    EXPECT_EQ(value.status, expected.status) << what;
    EXPECT_EQ(value.ticks, expected.ticks) << what;
}

class HighTimeExtremesTest : public ::testing::TestWithParam<int64_t> {};

}  // namespace

TEST_P(HighTimeExtremesTest, DateFieldsAreTheCalendarsAndReadBack) {
    const int64_t ticks = GetParam();
    const Civil c = CivilOf(ticks);
    const CHighTime value = At(ticks);
    EXPECT_EQ(
        (std::array<int64_t, 11>{value.GetYear(), value.GetMonth(), value.GetDay(), value.GetHour(),
                                 value.GetMinute(), value.GetSecond(), value.GetMilliSecond(),
                                 value.GetMicroSecond(), value.GetNanoSecond(),
                                 value.GetDayOfWeek(), value.GetDayOfYear()}),
        (std::array<int64_t, 11>{c.year, c.month, c.day, c.hour, c.minute, c.second,
                                 c.subSecondTicks / 10'000, c.subSecondTicks / 10 % 1000,
                                 c.subSecondTicks % 10 * 100, c.dayOfWeek, c.dayOfYear}));

    // The fields encode to the same count, or are refused for a year encoding does not take.
    CHighTime back(2024, 1, 1);
    const bool encoded = back.SetDateTime(
        value.GetYear(), value.GetMonth(), value.GetDay(), value.GetHour(), value.GetMinute(),
        value.GetSecond(), value.GetMilliSecond(), value.GetMicroSecond(), value.GetNanoSecond());
    EXPECT_EQ(encoded, EncodableYear(c.year));
    EXPECT_EQ(back.ticks, encoded ? ticks : CHighTime(2024, 1, 1).ticks);

    // Whole seconds since 1904-01-01 for the platform's date text.
    EXPECT_EQ(value.ConvertToTime_t(),
              static_cast<int64_t>(FloorDiv(ticks, kSecond)) - DaysFrom1601(1904) * 86'400);

    TimeLocale cLocale("C");
    char text[128];
    char expected[128];
    std::snprintf(expected, sizeof expected, "%d-%02d-%02d %02d:%02d:%02d.%03lld %03lld %lld",
                  c.year, c.month, c.day, c.hour, c.minute, c.second,
                  static_cast<long long>(c.subSecondTicks / 10'000),
                  static_cast<long long>(c.subSecondTicks / 10 % 1000),
                  static_cast<long long>(c.subSecondTicks % 10 * 100));
    EXPECT_STREQ(value.Format(text, sizeof text, "%Y-%m-%d %H:%M:%S.%s %u %#n"), expected);
}

TEST_P(HighTimeExtremesTest, SumsAndDifferencesBeyondTheRangeAreInvalid) {
    const int64_t ticks = GetParam();
    const CHighTime value = At(ticks);
    const int64_t steps[] = {1, -1, kSecond, -kSecond, kDay, -kDay, INT64_MAX, INT64_MIN};
    for (const int64_t step : steps) {
        SCOPED_TRACE(step);
        const Outcome plus = Fit(static_cast<__int128>(ticks) + step);
        const Outcome minus = Fit(static_cast<__int128>(ticks) - step);
        ExpectOutcome(value + Span(step), plus, "date + span");
        CHighTime accumulated = value;
        accumulated += Span(step);
        ExpectOutcome(accumulated, plus, "date += span");
        ExpectOutcome(value - Span(step), minus, "date - span");
        ExpectOutcome(value - CHighTime(At(step)), minus, "date - date");
        ExpectOutcome(Span(ticks) + Span(step), plus, "span + span");
        CHighTimeSpan spanAccumulated = Span(ticks);
        spanAccumulated += Span(step);
        ExpectOutcome(spanAccumulated, plus, "span += span");
        ExpectOutcome(Span(ticks) - Span(step), minus, "span - span");
    }
    // An operand that is not valid decides the status whatever the ticks.
    ExpectOutcome(At(ticks, HighTimeStatus::invalid) + Span(ticks), {HighTimeStatus::invalid, 0},
                  "invalid + span");
    ExpectOutcome(value - At(INT64_MIN, HighTimeStatus::null), {HighTimeStatus::null, 0},
                  "date - null");
}

TEST_P(HighTimeExtremesTest, SpanPartsAddUpToTheSpan) {
    const int64_t ticks = GetParam();
    const CHighTimeSpan span = Span(ticks);
    const __int128 parts = static_cast<__int128>(span.GetDays()) * kDay +
                           static_cast<__int128>(span.GetHours()) * 3600 * kSecond +
                           static_cast<__int128>(span.GetMinutes()) * 60 * kSecond +
                           static_cast<__int128>(span.GetSeconds()) * kSecond +
                           span.GetMilliSeconds() * 10'000 + span.GetMicroSeconds() * 10 +
                           span.GetNanoSeconds() / 100;
    EXPECT_TRUE(parts == ticks);
    EXPECT_EQ(span.GetTotalNanoSeconds(), ticks < 0 ? INT64_MIN : INT64_MAX);
    char text[64];
    const __int128 wholeDays = (ticks < 0 ? -static_cast<__int128>(ticks) : ticks) / kDay;
    EXPECT_STREQ(span.Format(text, sizeof text, "%D"),
                 std::to_string(static_cast<int64_t>(wholeDays)).c_str());
}

TEST_P(HighTimeExtremesTest, StoredDateSnapsStepsAndConvertsOrBecomesInvalid) {
    const int64_t ticks = GetParam();
    const Civil c = CivilOf(ticks);
    const CHighTimePersistent value = At(ticks);

    // A day boundary exists for every valid value, whatever its year, unless it lies beyond the
    // range: then the value is invalid and keeps its ticks. The other results that are not valid
    // have ticks 0.
    const auto boundary = [&](int64_t day) {
        const Outcome fit = Fit(static_cast<__int128>(day) * kDay);
        return fit.status == HighTimeStatus::valid ? fit : Outcome{HighTimeStatus::invalid, ticks};
    };
    const struct {
        const char* what;
        CHighTimePersistent result;
        Outcome expected;
    } cases[] = {
        {"SetToBaseTime", At(ticks).SetToBaseTime(), boundary(c.dayStart)},
        {"SetToMidnight24", At(ticks).SetToMidnight24(), boundary(c.dayStart + 1)},
        {"DecreaseByOneDay", value.DecreaseByOneDay(), Fit(static_cast<__int128>(ticks) - kDay)},
        // The old-version conversion keeps whole seconds; the host's 32-bit time holds none of
        // these dates, so the seconds are cut without it.
        {"ConvertFromV3", value.ConvertFromV3(), Fit(FloorDiv(ticks, kSecond) * kSecond)},
    };
    for (const auto& k : cases) ExpectOutcome(k.result, k.expected, k.what);
    EXPECT_EQ(Compare(value, At(ticks)), 0) << "the value itself stays as it was";

    // Outside the host's 32-bit span: no host time and no host text, never a wrapped one.
    KXTime host = 12345;
    EXPECT_EQ(value.ToKXTime(host), TIErr::OutOfRange);
    EXPECT_EQ(host, 12345);
    EXPECT_EQ(value.ConvertToKXTime(), 0);
    char text[64] = "untouched";
    EXPECT_STREQ(value.FormatKX(text, sizeof text, TIShortDate), "");
    value.Debug("extreme");
}

INSTANTIATE_TEST_SUITE_P(EndsOfTheRange, HighTimeExtremesTest, ::testing::ValuesIn(kExtremes));
