// The calendar of CHighTime checked against day counts computed here by other means: the
// Fliegel-Van Flandern Julian day formula and a walk through the calendar one day at a time.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "Dates/CHighTime.h"
#include "PlatformDate.h"

namespace {

constexpr int64_t kDay = 864'000'000'000;

// Julian day number of a Gregorian date (Fliegel and Van Flandern, 1968). Its truncating
// divisions are right for years after -4700; earlier years are moved by whole 400-year cycles of
// 146 097 days.
int64_t JulianDay(int64_t y, int64_t m, int64_t d) {
    int64_t shift = 0;
    while (y < -4000) {
        y += 400;
        shift += 146'097;
    }
    const int64_t a = (m - 14) / 12;
    return (1461 * (y + 4800 + a)) / 4 + (367 * (m - 2 - 12 * a)) / 12 -
           (3 * ((y + 4900 + a) / 100)) / 4 + d - 32'075 - shift;
}

int64_t ExpectedTicks(int64_t y, int64_t m, int64_t d) {
    return (JulianDay(y, m, d) - JulianDay(1601, 1, 1)) * kDay;
}

int DaysIn(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

CHighTime::_HighTimeFormat Decode(int64_t ticks) {
    CHighTime::_HighTimeFormat f{};
    EXPECT_TRUE(CHighTime::ConvertLongLongToTime(ticks, f));
    return f;
}

std::array<int, 11> Fields(const CHighTime::_HighTimeFormat& f) {
    return {f.nYear,  f.nMonth, f.nDay,  f.nHour,      f.nMinute,   f.nSecond,
            f.nMilli, f.nMicro, f.nNano, f.nDayOfYear, f.nDayOfWeek};
}

}  // namespace

// ---- Fixed anchors and walks through the calendar ----

TEST(CHighTimeAnchorTest, KnownInstantsHaveKnownTickCounts) {
    EXPECT_EQ(CHighTime(1601, 1, 1).ticks, 0);
    EXPECT_EQ(CHighTime(1601, 1, 1).GetDayOfWeek(), 2);  // a Monday
    EXPECT_EQ(CHighTime(1601, 1, 1).GetDayOfYear(), 1);
    EXPECT_EQ(CHighTime(1970, 1, 1).ticks, 116'444'736'000'000'000);
    EXPECT_EQ(CHighTime(2000, 1, 1).ticks, 125'911'584'000'000'000);
    // The Julian day formula agrees with the two published counts, so it can judge the rest.
    EXPECT_EQ(ExpectedTicks(1970, 1, 1), 116'444'736'000'000'000);
    EXPECT_EQ(ExpectedTicks(2000, 1, 1), 125'911'584'000'000'000);
    // One tick before 1601 is the last tick of 1600, a leap year, on a Sunday.
    EXPECT_EQ(Fields(Decode(-1)),
              (std::array<int, 11>{1600, 12, 31, 23, 59, 59, 999, 999, 900, 366, 1}));
}

TEST(CHighTimeRoundTripTest, EveryDayOfYears1To9999) {
    CHighTime previous(0, 12, 31);
    ASSERT_EQ(previous.status, HighTimeStatus::valid);
    int previousWeekday = previous.GetDayOfWeek();
    int previousDayOfYear = previous.GetDayOfYear();
    int failures = 0;
    for (int y = 1; y <= 9999 && failures < 10; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysIn(y, m); ++d) {
                int64_t ticks = -1;
                const bool ok =
                    CHighTime::ConvertTimeToLongLong({y, m, d, 0, 0, 0, 0, 0, 0, 0, 0}, ticks);
                const CHighTime::_HighTimeFormat out = Decode(ticks);
                const int dayOfYear = (m == 1 && d == 1) ? 1 : previousDayOfYear + 1;
                if (!ok || ticks != previous.ticks + kDay ||
                    Fields(out) != std::array<int, 11>{y, m, d, 0, 0, 0, 0, 0, 0, dayOfYear,
                                                       previousWeekday % 7 + 1}) {
                    ++failures;
                    ADD_FAILURE() << y << "-" << m << "-" << d << " ticks " << ticks << " gives "
                                  << out.nYear << "-" << out.nMonth << "-" << out.nDay
                                  << " weekday " << out.nDayOfWeek << " day " << out.nDayOfYear;
                }
                previous.ticks = ticks;
                previousWeekday = out.nDayOfWeek;
                previousDayOfYear = out.nDayOfYear;
            }
        }
    }
    EXPECT_EQ(previousDayOfYear, 365);  // 9999 is a common year
}

// ---- Encoding rules ----

TEST(CHighTimeEncodingTest, AcceptsExactlyTheDatesOfTheCalendar) {
    // -27627-04-20 is the earliest whole day 64-bit ticks hold: the years before it are in the
    // range but refused.
    const int accepted[][3] = {{2000, 2, 29},  {2024, 2, 29},   {1600, 2, 29},
                               {-400, 2, 29},  {0, 2, 29},      {2024, 4, 30},
                               {-27000, 1, 1}, {29000, 12, 31}, {-27627, 4, 20}};
    const int refused[][3] = {{1900, 2, 29},   {1700, 2, 29}, {2023, 2, 29},    {2100, 2, 29},
                              {-100, 2, 29},   {2024, 4, 31}, {2024, 1, 0},     {2024, 0, 1},
                              {2024, 13, 1},   {2024, -1, 1}, {-29001, 12, 31}, {29001, 1, 1},
                              {-27627, 4, 19}, {-29000, 1, 1}};
    for (const auto& [y, m, d] : accepted) {
        EXPECT_EQ(CHighTime(y, m, d).status, HighTimeStatus::valid) << y << "-" << m << "-" << d;
        EXPECT_EQ(CHighTime(y, m, d).ticks, ExpectedTicks(y, m, d)) << y << "-" << m << "-" << d;
        const CHighTime::_HighTimeFormat f = Decode(ExpectedTicks(y, m, d));
        EXPECT_EQ((std::array<int, 3>{f.nYear, f.nMonth, f.nDay}), (std::array<int, 3>{y, m, d}));
    }
    for (const auto& [y, m, d] : refused)
        EXPECT_EQ(CHighTime(y, m, d).status, HighTimeStatus::invalid) << y << "-" << m << "-" << d;
    EXPECT_EQ(CHighTime(-27627, 4, 19, 21, 11, 55).status, HighTimeStatus::valid);
    EXPECT_EQ(CHighTime(-27627, 4, 19, 21, 11, 54).status, HighTimeStatus::invalid);
    // The latest year of the range is held in full.
    EXPECT_EQ(CHighTime(29000, 12, 31, 23, 59, 59, 999, 999, 900).GetSecond(), 59);
}

TEST(CHighTimeEncodingTest, TimeFieldsCarryAndNanosecondsRoundHalvesUp) {
    const int64_t may1 = ExpectedTicks(2024, 5, 1);
    const struct {
        CHighTime value;
        int64_t ticks;
    } cases[] = {
        // Hour 24 is 00:00 of the next day, also across a leap day and a year end.
        {CHighTime(2024, 2, 28, 24), ExpectedTicks(2024, 2, 29)},
        {CHighTime(2023, 12, 31, 24), ExpectedTicks(2024, 1, 1)},
        {CHighTime(2024, 5, 1, 0, 90), may1 + 90 * 600'000'000LL},
        {CHighTime(2024, 5, 1, 0, 0, 0, 999, 999, 950), may1 + 10'000'000},
        {CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 49), may1},
        {CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 50), may1 + 1},
        {CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 149), may1 + 1},
        {CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 150), may1 + 2},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value.ticks, c.ticks) << c.ticks - may1;
}

TEST(CHighTimeEncodingTest, FailedSetDateTimeKeepsTicksAndHidesEveryField) {
    CHighTime t(2024, 7, 14, 10, 20, 30);
    const int64_t before = t.ticks;
    EXPECT_FALSE(t.SetDateTime(2023, 2, 29));
    EXPECT_EQ(t.status, HighTimeStatus::invalid);
    EXPECT_EQ(t.ticks, before);
    for (int field : {t.GetYear(), t.GetMonth(), t.GetDay(), t.GetHour(), t.GetMinute(),
                      t.GetSecond(), t.GetMilliSecond(), t.GetMicroSecond(), t.GetNanoSecond(),
                      t.GetDayOfWeek(), t.GetDayOfYear()})
        EXPECT_EQ(field, -1);
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

// ---- Arithmetic and comparison ----

TEST(CHighTimeArithmeticTest, NullWinsOverInvalidWinsOverValid) {
    using S = HighTimeStatus;
    const struct {
        S a, b, result;
    } cases[] = {{S::valid, S::valid, S::valid},      {S::valid, S::invalid, S::invalid},
                 {S::invalid, S::valid, S::invalid},  {S::null, S::invalid, S::null},
                 {S::invalid, S::null, S::null},      {S::valid, S::null, S::null},
                 {S::invalid, S::invalid, S::invalid}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.a) * 10 + static_cast<int>(c.b));
        CHighTime a(2024, 1, 1), b(2023, 1, 1);
        a.status = c.a;
        b.status = c.b;
        CHighTimeSpan span(1, 0, 0, 0), spanA(2, 0, 0, 0);
        span.status = c.b;
        spanA.status = c.a;
        const bool valid = c.result == S::valid;
        CHighTime accumulated = a;
        accumulated += span;
        for (const CHighTime& r : {a + span, accumulated}) {
            EXPECT_EQ(r.status, c.result);
            EXPECT_EQ(r.ticks, valid ? a.ticks + kDay : 0);
        }
        EXPECT_EQ((a - span).status, c.result);
        EXPECT_EQ((a - span).ticks, valid ? a.ticks - kDay : 0);
        EXPECT_EQ((a - b).status, c.result);
        EXPECT_EQ((a - b).ticks, valid ? 365 * kDay : 0);
        EXPECT_EQ((spanA + span).status, c.result);
        EXPECT_EQ((spanA - span).ticks, valid ? kDay : 0);
    }
}

// std::sort needs a strict weak order: over every pair of values of three tick counts and all
// three statuses, Compare must be the order of (ticks, status) written out by hand, so that it is
// antisymmetric and transitive.
TEST(CHighTimeCompareTest, IsTheOrderOfTicksThenStatusForEveryPair) {
    std::vector<CHighTime> values;
    for (int64_t ticks : {int64_t{-5}, int64_t{0}, int64_t{7}})
        for (HighTimeStatus status :
             {HighTimeStatus::valid, HighTimeStatus::invalid, HighTimeStatus::null}) {
            CHighTime t;
            t.ticks = ticks;
            t.status = status;
            values.push_back(t);
        }
    // values are in (ticks, status) order by construction: index order is the expected order.
    for (size_t i = 0; i < values.size(); ++i)
        for (size_t j = 0; j < values.size(); ++j)
            EXPECT_EQ(Compare(values[i], values[j]), i < j ? -1 : (i == j ? 0 : 1))
                << i << " " << j;
}

// ---- Conversion to the platform's form (the standard tm form is seen through Format) ----

TEST(CHighTimeConversionTest, TimeTCountsWholeSecondsSince1904) {
    // The platform's count itself is checked with the platform; here the value handed to it.
    EXPECT_EQ(CHighTime(2100, 1, 1).ConvertToTime_t(),
              (JulianDay(2100, 1, 1) - JulianDay(1904, 1, 1)) * 86'400);
    EXPECT_EQ(CHighTime(2023, 2, 29).ConvertToTime_t(), -1);
}
