// The calendar of CHighTime checked against std::chrono's calendar and 128-bit sums: every day of
// years 1 to 9999, the rules of encoding, and the two ends of what 64 bits of ticks hold, where
// every answer of the date, the span and the stored date must read back or be invalid.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Dates/CHighTimePersistent.h"
#include "Platform/TimeLocale.h"

namespace {

using namespace std::chrono;
using Fields = std::array<int64_t, 11>;  // year .. nanosecond, day of week (1 = Sunday), of year

constexpr int64_t kSecond = 10'000'000;
constexpr int64_t kDay = 86'400 * kSecond;
constexpr sys_days kEpoch{year{1601} / 1 / 1};

__int128 FloorDiv(__int128 a, int64_t b) {
    const __int128 q = a / b;
    return q * b > a ? q - 1 : q;  // b > 0 everywhere here
}

int64_t TicksOf(int y, int m, int d) { return (sys_days{year{y} / m / d} - kEpoch).count() * kDay; }

// The fields of a tick count by chrono's calendar.
Fields CivilOf(int64_t ticks) {
    const __int128 dayNumber = FloorDiv(ticks, kDay);
    const int64_t inDay = static_cast<int64_t>(ticks - dayNumber * kDay);
    const sys_days date = kEpoch + days{static_cast<int64_t>(dayNumber)};
    const year_month_day ymd{date};
    return {static_cast<int>(ymd.year()),
            static_cast<unsigned>(ymd.month()),
            static_cast<unsigned>(ymd.day()),
            inDay / (3600 * kSecond),
            inDay / (60 * kSecond) % 60,
            inDay / kSecond % 60,
            inDay % kSecond / 10'000,
            inDay % 10'000 / 10,
            inDay % 10 * 100,
            weekday{date}.c_encoding() + 1,
            (date - sys_days{ymd.year() / 1 / 1}).count() + 1};
}

Fields FieldsOf(const CHighTime& t) {
    return {t.GetYear(),       t.GetMonth(),     t.GetDay(),         t.GetHour(),
            t.GetMinute(),     t.GetSecond(),    t.GetMilliSecond(), t.GetMicroSecond(),
            t.GetNanoSecond(), t.GetDayOfWeek(), t.GetDayOfYear()};
}

CHighTimePersistent At(int64_t ticks, HighTimeStatus status = HighTimeStatus::valid) {
    CHighTimePersistent value;
    value.status = status;
    value.ticks = ticks;
    return value;
}

CHighTimeSpan Span(int64_t ticks, HighTimeStatus status = HighTimeStatus::valid) {
    CHighTimeSpan span;
    span.ticks = ticks;
    span.status = status;
    return span;
}

// A 128-bit result: valid when 64 bits hold it, invalid with ticks 0 otherwise.
struct Outcome {
    HighTimeStatus status;
    int64_t ticks;
    bool operator==(const Outcome&) const = default;
};
Outcome Fit(__int128 exact) {
    if (exact < INT64_MIN || exact > INT64_MAX) return {HighTimeStatus::invalid, 0};
    return {HighTimeStatus::valid, static_cast<int64_t>(exact)};
}
template <typename T>
Outcome Of(const T& value) {
    return {value.status, value.ticks};
}

}  // namespace

TEST(CHighTimeCalendarTest, KnownInstantsAndEveryDayOfYears1To9999) {
    EXPECT_EQ(CHighTime(1970, 1, 1).ticks, 116'444'736'000'000'000);  // the published counts
    EXPECT_EQ(CHighTime(2000, 1, 1).ticks, 125'911'584'000'000'000);
    EXPECT_EQ(CHighTime(1601, 1, 1).GetDayOfWeek(), 2);  // a Monday
    EXPECT_EQ(FieldsOf(At(-1)), (Fields{1600, 12, 31, 23, 59, 59, 999, 999, 900, 1, 366}));
    int failures = 0;
    for (sys_days day = sys_days{year{1} / 1 / 1}; day <= sys_days{year{9999} / 12 / 31};
         day += days{1}) {
        const year_month_day ymd{day};
        const int64_t ticks = (day - kEpoch).count() * kDay;
        const CHighTime encoded(static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                                static_cast<unsigned>(ymd.day()));
        if ((encoded.ticks != ticks || FieldsOf(At(ticks)) != CivilOf(ticks)) && ++failures < 10)
            ADD_FAILURE() << static_cast<int>(ymd.year()) << "-"
                          << static_cast<unsigned>(ymd.month()) << "-"
                          << static_cast<unsigned>(ymd.day()) << " ticks " << encoded.ticks;
    }
    EXPECT_EQ(failures, 0);
}

TEST(CHighTimeEncodingTest, AcceptsExactlyTheDatesOfTheCalendar) {
    // -27627-04-20 is the earliest whole day 64-bit ticks hold: the years before it are in the
    // range but refused.
    const int accepted[][3] = {{2024, 2, 29}, {1600, 2, 29},   {-400, 2, 29},
                               {0, 2, 29},    {29000, 12, 31}, {-27627, 4, 20}};
    const int refused[][3] = {{1900, 2, 29},   {2023, 2, 29},   {-100, 2, 29}, {2024, 4, 31},
                              {2024, 1, 0},    {2024, 0, 1},    {2024, 13, 1}, {29001, 1, 1},
                              {-27627, 4, 19}, {-29001, 12, 31}};
    for (const auto& [y, m, d] : accepted) {
        EXPECT_EQ(CHighTime(y, m, d).status, HighTimeStatus::valid) << y << "-" << m << "-" << d;
        EXPECT_EQ(CHighTime(y, m, d).ticks, TicksOf(y, m, d)) << y << "-" << m << "-" << d;
        EXPECT_EQ(FieldsOf(At(TicksOf(y, m, d))), CivilOf(TicksOf(y, m, d)));
    }
    for (const auto& [y, m, d] : refused)
        EXPECT_EQ(CHighTime(y, m, d).status, HighTimeStatus::invalid) << y << "-" << m << "-" << d;
    EXPECT_EQ(CHighTime(-27627, 4, 19, 21, 11, 55).status, HighTimeStatus::valid);
    EXPECT_EQ(CHighTime(-27627, 4, 19, 21, 11, 54).status, HighTimeStatus::invalid);
}

TEST(CHighTimeEncodingTest, TimeFieldsCarryAndNanosecondsRoundHalvesUp) {
    const int64_t may1 = TicksOf(2024, 5, 1);
    const struct {
        CHighTime value;
        int64_t ticks;
    } cases[] = {
        // Hour 24 is 00:00 of the next day, also across a leap day and a year end.
        {CHighTime(2024, 2, 28, 24), TicksOf(2024, 2, 29)},
        {CHighTime(2023, 12, 31, 24), TicksOf(2024, 1, 1)},
        {CHighTime(2024, 5, 1, 0, 90), may1 + 90 * 60 * kSecond},
        {CHighTime(2024, 5, 1, 0, 0, 0, 999, 999, 950), may1 + 10'000'000},
        {CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 49), may1},
        {CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 150), may1 + 2},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value.ticks, c.ticks) << c.ticks - may1;
}

TEST(CHighTimeEncodingTest, FailedSetDateTimeKeepsTicksAndHidesEveryField) {
    CHighTime t(2024, 7, 14, 10, 20, 30);
    const int64_t before = t.ticks;
    EXPECT_FALSE(t.SetDateTime(2023, 2, 29));
    EXPECT_EQ(Of(t), (Outcome{HighTimeStatus::invalid, before}));
    EXPECT_EQ(FieldsOf(t), (Fields{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(t.ConvertToTime_t(), -1);
    EXPECT_TRUE(t.SetDateTime(2024, 7, 14));  // a later success makes it valid again
    EXPECT_EQ(t.GetDay(), 14);
    // Failed encodings leave their output alone; a day count ticks cannot hold is refused, not
    // wrapped.
    int64_t out = 12345;
    EXPECT_FALSE(CHighTime::ConvertTimeToLongLong({2024, 2, 30, 0, 0, 0, 0, 0, 0, 0, 0}, out));
    EXPECT_FALSE(
        CHighTime::ConvertTimeToLongLong({2024, 1, -2'000'000'000, 0, 0, 0, 0, 0, 0, 0, 0}, out));
    EXPECT_EQ(out, 12345);
}

TEST(CHighTimeArithmeticTest, NullWinsOverInvalidWinsOverValid) {
    using S = HighTimeStatus;
    const struct {
        S a, b, result;
    } cases[] = {{S::valid, S::invalid, S::invalid},
                 {S::invalid, S::valid, S::invalid},
                 {S::null, S::invalid, S::null},
                 {S::invalid, S::null, S::null},
                 {S::valid, S::null, S::null}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.a) * 10 + static_cast<int>(c.b));
        const Outcome none{c.result, 0};
        const CHighTime a = At(TicksOf(2024, 1, 1), c.a), b = At(TicksOf(2023, 1, 1), c.b);
        CHighTime accumulated = a;
        accumulated += Span(kDay, c.b);
        EXPECT_EQ(Of(a + Span(kDay, c.b)), none);
        EXPECT_EQ(Of(accumulated), none);
        EXPECT_EQ(Of(a - Span(kDay, c.b)), none);
        EXPECT_EQ(Of(a - b), none);
        EXPECT_EQ(Of(Span(kDay, c.a) + Span(kDay, c.b)), none);
        EXPECT_EQ(Of(Span(kDay, c.a) - Span(kDay, c.b)), none);
    }
}

// std::sort needs a strict weak order: over every pair of values of three tick counts and all
// three statuses, Compare must be the order of (ticks, status) written out by hand.
TEST(CHighTimeCompareTest, IsTheOrderOfTicksThenStatusForEveryPair) {
    std::vector<CHighTime> values;  // in (ticks, status) order by construction
    for (int64_t ticks : {int64_t{-5}, int64_t{0}, int64_t{7}})
        for (HighTimeStatus status :
             {HighTimeStatus::valid, HighTimeStatus::invalid, HighTimeStatus::null})
            values.push_back(At(ticks, status));
    for (size_t i = 0; i < values.size(); ++i)
        for (size_t j = 0; j < values.size(); ++j)
            EXPECT_EQ(Compare(values[i], values[j]), i < j ? -1 : (i == j ? 0 : 1))
                << i << " " << j;
}

// ---- The ends of the range ----

class HighTimeExtremesTest : public ::testing::TestWithParam<int64_t> {};

TEST_P(HighTimeExtremesTest, DateFieldsAreTheCalendarsAndReadBack) {
    const int64_t ticks = GetParam();
    const Fields c = CivilOf(ticks);
    const CHighTime value = At(ticks);
    EXPECT_EQ(FieldsOf(value), c);

    // The fields encode to the same count, or are refused for a year encoding does not take.
    CHighTime back(2024, 1, 1);
    const bool encoded = back.SetDateTime(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
    EXPECT_EQ(encoded, c[0] >= -29'000 && c[0] <= 29'000);
    EXPECT_EQ(back.ticks, encoded ? ticks : TicksOf(2024, 1, 1));

    // Whole seconds since 1904-01-01 for the platform's date text.
    EXPECT_TRUE(value.ConvertToTime_t() ==
                FloorDiv(ticks, kSecond) - TicksOf(1904, 1, 1) / kSecond);

    TimeLocale cLocale("C");
    char text[128];
    char expected[128];
    std::snprintf(
        expected, sizeof expected, "%lld-%02lld-%02lld %02lld:%02lld:%02lld.%03lld %03lld %lld",
        static_cast<long long>(c[0]), static_cast<long long>(c[1]), static_cast<long long>(c[2]),
        static_cast<long long>(c[3]), static_cast<long long>(c[4]), static_cast<long long>(c[5]),
        static_cast<long long>(c[6]), static_cast<long long>(c[7]), static_cast<long long>(c[8]));
    EXPECT_STREQ(value.Format(text, sizeof text, "%Y-%m-%d %H:%M:%S.%s %u %#n"), expected);
}

TEST_P(HighTimeExtremesTest, SumsAndDifferencesBeyondTheRangeAreInvalid) {
    const int64_t ticks = GetParam();
    const CHighTime value = At(ticks);
    for (const int64_t step : {int64_t{1}, int64_t{-1}, INT64_MAX, INT64_MIN}) {
        SCOPED_TRACE(step);
        const Outcome plus = Fit(static_cast<__int128>(ticks) + step);
        const Outcome minus = Fit(static_cast<__int128>(ticks) - step);
        CHighTime accumulated = value;
        accumulated += Span(step);
        CHighTimeSpan spanAccumulated = Span(ticks);
        spanAccumulated += Span(step);
        EXPECT_EQ(Of(value + Span(step)), plus);
        EXPECT_EQ(Of(accumulated), plus);
        EXPECT_EQ(Of(value - Span(step)), minus);
        EXPECT_EQ(Of(value - CHighTime(At(step))), minus);
        EXPECT_EQ(Of(Span(ticks) + Span(step)), plus);
        EXPECT_EQ(Of(spanAccumulated), plus);
        EXPECT_EQ(Of(Span(ticks) - Span(step)), minus);
    }
}

TEST_P(HighTimeExtremesTest, SpanPartsAddUpToTheSpan) {
    const CHighTimeSpan span = Span(GetParam());
    const __int128 parts = static_cast<__int128>(span.GetDays()) * kDay +
                           static_cast<__int128>(span.GetHours()) * 3600 * kSecond +
                           static_cast<__int128>(span.GetMinutes()) * 60 * kSecond +
                           static_cast<__int128>(span.GetSeconds()) * kSecond +
                           span.GetMilliSeconds() * 10'000 + span.GetMicroSeconds() * 10 +
                           span.GetNanoSeconds() / 100;
    EXPECT_TRUE(parts == GetParam());
    EXPECT_EQ(span.GetTotalNanoSeconds(), GetParam() < 0 ? INT64_MIN : INT64_MAX);
    char text[64];
    const __int128 wholeDays =
        (GetParam() < 0 ? -static_cast<__int128>(GetParam()) : GetParam()) / kDay;
    EXPECT_STREQ(span.Format(text, sizeof text, "%D"),
                 std::to_string(static_cast<int64_t>(wholeDays)).c_str());
}

TEST_P(HighTimeExtremesTest, StoredDateSnapsStepsAndConvertsOrBecomesInvalid) {
    const int64_t ticks = GetParam();
    const CHighTimePersistent value = At(ticks);
    // A day boundary beyond the range makes the value invalid, keeping its ticks.
    const auto boundary = [&](__int128 day) {
        const Outcome fit = Fit(day * kDay);
        return fit.status == HighTimeStatus::valid ? fit : Outcome{HighTimeStatus::invalid, ticks};
    };
    EXPECT_EQ(Of(At(ticks).SetToBaseTime()), boundary(FloorDiv(ticks, kDay)));
    EXPECT_EQ(Of(At(ticks).SetToMidnight24()), boundary(FloorDiv(ticks, kDay) + 1));
    EXPECT_EQ(Of(value.DecreaseByOneDay()), Fit(static_cast<__int128>(ticks) - kDay));
    // The old-version conversion keeps whole seconds, here without the host's 32-bit time.
    EXPECT_EQ(Of(value.ConvertFromV3()), Fit(FloorDiv(ticks, kSecond) * kSecond));
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

INSTANTIATE_TEST_SUITE_P(EndsOfTheRange, HighTimeExtremesTest,
                         ::testing::Values(INT64_MIN, INT64_MIN + kSecond - 1, INT64_MIN + kDay,
                                           INT64_MAX, INT64_MAX - kSecond, INT64_MAX - kDay + 1));
