// The calendar of CHighTime checked against day counts computed here by other means: the
// Fliegel-Van Flandern Julian day formula and a walk through the calendar one day at a time.
#include <gtest/gtest.h>

#include <cstdint>

#include "CHighTime.h"
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

bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : days[m - 1];
}

CHighTime::_HighTimeFormat Decode(int64_t ticks) {
    CHighTime::_HighTimeFormat f{};
    EXPECT_TRUE(CHighTime::ConvertLongLongToTime(ticks, f));
    return f;
}

}  // namespace

// ---- Fixed anchors ----

TEST(CHighTimeAnchorTest, KnownInstantsHaveKnownTickCounts) {
    EXPECT_EQ(CHighTime(1601, 1, 1).ticks, 0);
    EXPECT_EQ(CHighTime(1970, 1, 1).ticks, 116'444'736'000'000'000);
    EXPECT_EQ(CHighTime(2000, 1, 1).ticks, 125'911'584'000'000'000);
    // The Julian day formula agrees with the two published counts, so it can judge the rest.
    EXPECT_EQ(ExpectedTicks(1970, 1, 1), 116'444'736'000'000'000);
    EXPECT_EQ(ExpectedTicks(2000, 1, 1), 125'911'584'000'000'000);
}

TEST(CHighTimeAnchorTest, TickZeroIsMondayTheFirstDayOfTheYear) {
    const CHighTime t(1601, 1, 1);
    EXPECT_EQ(t.GetDayOfWeek(), 2);
    EXPECT_EQ(t.GetDayOfYear(), 1);
    EXPECT_EQ(CHighTime(2024, 3, 1).GetDayOfWeek(), 6);  // a Friday
}

// ---- Every day from year 1 to 9999, and a sample out to +-29 000 ----

TEST(CHighTimeRoundTripTest, EveryDayOfYears1To9999) {
    CHighTime previous(0, 12, 31);
    ASSERT_EQ(previous.status, HighTimeStatus::valid);
    int previousWeekday = previous.GetDayOfWeek();
    int previousDayOfYear = previous.GetDayOfYear();
    int64_t failures = 0;
    for (int y = 1; y <= 9999 && failures < 10; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= DaysIn(y, m); ++d) {
                CHighTime::_HighTimeFormat in{y, m, d, 0, 0, 0, 0, 0, 0, 0, 0};
                int64_t ticks = -1;
                const bool ok = CHighTime::ConvertTimeToLongLong(in, ticks);
                const CHighTime::_HighTimeFormat out = Decode(ticks);
                const int expectedWeekday = previousWeekday % 7 + 1;
                const int expectedDayOfYear = (m == 1 && d == 1) ? 1 : previousDayOfYear + 1;
                const bool good = ok && ticks == previous.ticks + kDay && out.nYear == y &&
                                  out.nMonth == m && out.nDay == d &&
                                  out.nDayOfWeek == expectedWeekday &&
                                  out.nDayOfYear == expectedDayOfYear && out.nHour == 0;
                if (!good) {
                    ++failures;
                    ADD_FAILURE() << y << "-" << m << "-" << d << " ticks " << ticks << " gives "
                                  << out.nYear << "-" << out.nMonth << "-" << out.nDay
                                  << " weekday " << out.nDayOfWeek << " day of year "
                                  << out.nDayOfYear;
                }
                previous.ticks = ticks;
                previousWeekday = out.nDayOfWeek;
                previousDayOfYear = out.nDayOfYear;
            }
        }
    }
    EXPECT_EQ(previousDayOfYear, 365);  // 9999 is a common year
}

TEST(CHighTimeRoundTripTest, SampleOfDatesOutToPlusMinus29000AgreesWithJulianDays) {
    // 64-bit ticks reach back only to -27627-04-19 21:11:54.5224192; earlier dates of the year
    // range must be refused, never wrapped into a date of the far future.
    const int64_t timeOfDay =
        13 * 36'000'000'000 + 45 * 600'000'000LL + 30 * 10'000'000LL + 2'501'253;
    int failures = 0;
    int refused = 0;
    for (int y = -29000; y <= 29000 && failures < 10; y += 7) {
        for (int m = 1; m <= 12; ++m) {
            for (int d : {1, 15, DaysIn(y, m)}) {
                const CHighTime t(y, m, d, 13, 45, 30, 250, 125, 300);
                const __int128 expected =
                    static_cast<__int128>(JulianDay(y, m, d) - JulianDay(1601, 1, 1)) * kDay +
                    timeOfDay;
                if (expected < INT64_MIN) {
                    ++refused;
                    if (t.status != HighTimeStatus::invalid) {
                        ++failures;
                        ADD_FAILURE() << y << "-" << m << "-" << d << " is beyond 64-bit ticks";
                    }
                    continue;
                }
                const CHighTime::_HighTimeFormat f = Decode(t.ticks);
                if (t.status != HighTimeStatus::valid || t.ticks != expected || f.nYear != y ||
                    f.nMonth != m || f.nDay != d || f.nHour != 13 || f.nMinute != 45 ||
                    f.nSecond != 30 || f.nMilli != 250 || f.nMicro != 125 || f.nNano != 300) {
                    ++failures;
                    ADD_FAILURE() << y << "-" << m << "-" << d << ": ticks " << t.ticks
                                  << " expected " << static_cast<int64_t>(expected);
                }
                // Julian day 0 was a Monday; weekday 1 is Sunday.
                const int64_t jd = JulianDay(y, m, d);
                if (f.nDayOfWeek != ((jd % 7 + 7) % 7 + 1) % 7 + 1) {
                    ++failures;
                    ADD_FAILURE() << y << "-" << m << "-" << d << ": weekday " << f.nDayOfWeek;
                }
            }
        }
    }
    EXPECT_GT(refused, 0);
}

TEST(CHighTimeRoundTripTest, TheEarliestDayTicksCanHold) {
    const CHighTime earliest(-27627, 4, 20);
    ASSERT_EQ(earliest.status, HighTimeStatus::valid);
    EXPECT_EQ(earliest.ticks, ExpectedTicks(-27627, 4, 20));
    EXPECT_EQ(earliest.GetYear(), -27627);
    EXPECT_EQ(CHighTime(-27627, 4, 19, 21, 11, 55).status, HighTimeStatus::valid);
    EXPECT_EQ(CHighTime(-27627, 4, 19, 21, 11, 54).status, HighTimeStatus::invalid);
    EXPECT_EQ(CHighTime(-27627, 4, 19).status, HighTimeStatus::invalid);
    // The latest year of the range is held in full.
    EXPECT_EQ(CHighTime(29000, 12, 31, 23, 59, 59, 999, 999, 900).GetSecond(), 59);
}

TEST(CHighTimeRoundTripTest, TimesBefore1601DecodeToTheirTimeOfDay) {
    // One tick before 1601 is the last tick of 1600.
    const CHighTime::_HighTimeFormat f = Decode(-1);
    EXPECT_EQ(f.nYear, 1600);
    EXPECT_EQ(f.nMonth, 12);
    EXPECT_EQ(f.nDay, 31);
    EXPECT_EQ(f.nHour, 23);
    EXPECT_EQ(f.nMinute, 59);
    EXPECT_EQ(f.nSecond, 59);
    EXPECT_EQ(f.nMilli, 999);
    EXPECT_EQ(f.nMicro, 999);
    EXPECT_EQ(f.nNano, 900);
    EXPECT_EQ(f.nDayOfYear, 366);  // 1600 is a leap year
    EXPECT_EQ(f.nDayOfWeek, 1);    // a Sunday
}

// ---- Encoding rules ----

struct DateCase {
    int y, m, d;
    bool accepted;
};

class CHighTimeCalendarTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(CHighTimeCalendarTest, AcceptsExactlyTheDatesOfTheCalendar) {
    const DateCase c = GetParam();
    const CHighTime t(c.y, c.m, c.d);
    EXPECT_EQ(t.status == HighTimeStatus::valid, c.accepted) << c.y << "-" << c.m << "-" << c.d;
    if (c.accepted) {
        EXPECT_EQ(t.ticks, ExpectedTicks(c.y, c.m, c.d));
    }
}

INSTANTIATE_TEST_SUITE_P(
    LeapYearsMonthsAndLimits, CHighTimeCalendarTest,
    ::testing::Values(
        DateCase{2000, 2, 29, true}, DateCase{2024, 2, 29, true}, DateCase{1600, 2, 29, true},
        DateCase{1900, 2, 29, false}, DateCase{1700, 2, 29, false}, DateCase{2023, 2, 29, false},
        DateCase{2100, 2, 29, false}, DateCase{-400, 2, 29, true}, DateCase{-100, 2, 29, false},
        DateCase{0, 2, 29, true}, DateCase{2024, 4, 31, false}, DateCase{2024, 4, 30, true},
        DateCase{2024, 1, 0, false}, DateCase{2024, 0, 1, false}, DateCase{2024, 13, 1, false},
        DateCase{2024, -1, 1, false}, DateCase{-27000, 1, 1, true}, DateCase{29000, 12, 31, true},
        DateCase{-29000, 1, 1, false},  // in the year range, beyond 64-bit ticks
        DateCase{-29001, 12, 31, false}, DateCase{29001, 1, 1, false}));

TEST(CHighTimeEncodingTest, TimeFieldsCarryIntoTheNextUnit) {
    // Hour 24 is 00:00 of the next day, also across a leap day and a year end.
    EXPECT_EQ(CHighTime(2024, 2, 28, 24).ticks, CHighTime(2024, 2, 29).ticks);
    EXPECT_EQ(CHighTime(2023, 12, 31, 24).ticks, CHighTime(2024, 1, 1).ticks);
    EXPECT_EQ(CHighTime(2024, 5, 1, 0, 90).ticks, CHighTime(2024, 5, 1, 1, 30).ticks);
    EXPECT_EQ(CHighTime(2024, 5, 1, 0, 0, 0, 999, 999, 950).ticks,
              CHighTime(2024, 5, 1, 0, 0, 1).ticks);
}

TEST(CHighTimeEncodingTest, NanosecondsRoundHalvesUpToTicks) {
    const int64_t base = CHighTime(2024, 5, 1).ticks;
    EXPECT_EQ(CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 49).ticks, base);
    EXPECT_EQ(CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 50).ticks, base + 1);
    EXPECT_EQ(CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 149).ticks, base + 1);
    EXPECT_EQ(CHighTime(2024, 5, 1, 0, 0, 0, 0, 0, 150).ticks, base + 2);
}

TEST(CHighTimeEncodingTest, DayOfYearAcrossMarchOfLeapAndCommonYears) {
    const CHighTime endOf2000(2000, 12, 31);
    EXPECT_EQ(endOf2000.GetDayOfYear(), 366);
    const CHighTime march1900(1900, 3, 1);
    EXPECT_EQ(march1900.GetDayOfYear(), 60);
    EXPECT_EQ(march1900.GetMonth(), 3);
    EXPECT_EQ(CHighTime(2000, 2, 29).GetDayOfYear(), 60);
    EXPECT_EQ(CHighTime(2000, 3, 1).GetDayOfYear(), 61);
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
    // A later success makes it valid again.
    EXPECT_TRUE(t.SetDateTime(2024, 7, 14));
    EXPECT_EQ(t.GetDay(), 14);
}

TEST(CHighTimeEncodingTest, FailedEncodingLeavesTheOutputUntouched) {
    int64_t out = 12345;
    EXPECT_FALSE(CHighTime::ConvertTimeToLongLong({2024, 2, 30, 0, 0, 0, 0, 0, 0, 0, 0}, out));
    EXPECT_EQ(out, 12345);
    // A day count that ticks cannot hold is refused rather than wrapped.
    EXPECT_FALSE(
        CHighTime::ConvertTimeToLongLong({2024, 1, -2'000'000'000, 0, 0, 0, 0, 0, 0, 0, 0}, out));
    EXPECT_EQ(out, 12345);
}

// ---- Arithmetic and comparison ----

struct StatusCase {
    HighTimeStatus a, b, result;
};

class CHighTimeStatusRuleTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(CHighTimeStatusRuleTest, NullWinsOverInvalidWinsOverValid) {
    const StatusCase c = GetParam();
    CHighTime a(2024, 1, 1);
    a.status = c.a;
    CHighTime b(2023, 1, 1);
    b.status = c.b;
    CHighTimeSpan span(1, 0, 0, 0);
    span.status = c.b;
    const bool valid = c.result == HighTimeStatus::valid;
    const CHighTime sum = a + span;
    EXPECT_EQ(sum.status, c.result);
    EXPECT_EQ(sum.ticks, valid ? a.ticks + kDay : 0);
    const CHighTime difference = a - span;
    EXPECT_EQ(difference.status, c.result);
    EXPECT_EQ(difference.ticks, valid ? a.ticks - kDay : 0);
    const CHighTimeSpan between = a - b;
    EXPECT_EQ(between.status, c.result);
    EXPECT_EQ(between.ticks, valid ? 365 * kDay : 0);
    CHighTimeSpan spanA(2, 0, 0, 0);
    spanA.status = c.a;
    EXPECT_EQ((spanA + span).status, c.result);
    EXPECT_EQ((spanA - span).ticks, valid ? kDay : 0);
    CHighTime accumulated = a;
    accumulated += span;
    EXPECT_EQ(accumulated.status, c.result);
    EXPECT_EQ(accumulated.ticks, sum.ticks);
}

INSTANTIATE_TEST_SUITE_P(
    AllPairs, CHighTimeStatusRuleTest,
    ::testing::Values(
        StatusCase{HighTimeStatus::valid, HighTimeStatus::valid, HighTimeStatus::valid},
        StatusCase{HighTimeStatus::valid, HighTimeStatus::invalid, HighTimeStatus::invalid},
        StatusCase{HighTimeStatus::invalid, HighTimeStatus::valid, HighTimeStatus::invalid},
        StatusCase{HighTimeStatus::null, HighTimeStatus::invalid, HighTimeStatus::null},
        StatusCase{HighTimeStatus::invalid, HighTimeStatus::null, HighTimeStatus::null},
        StatusCase{HighTimeStatus::valid, HighTimeStatus::null, HighTimeStatus::null},
        StatusCase{HighTimeStatus::invalid, HighTimeStatus::invalid, HighTimeStatus::invalid}));

TEST(CHighTimeArithmeticTest, TickSumsWrapInsteadOfFailing) {
    CHighTime late;
    late.ticks = INT64_MAX;
    CHighTimeSpan oneTick;
    oneTick.ticks = 1;
    EXPECT_EQ((late + oneTick).ticks, INT64_MIN);
    EXPECT_EQ((late + oneTick).status, HighTimeStatus::valid);
}

TEST(CHighTimeCompareTest, EqualityNeedsStatusOrderingLooksAtTicks) {
    const CHighTime a(2024, 1, 1), b(2024, 1, 2);
    EXPECT_EQ(Compare(a, a), 0);
    EXPECT_EQ(Compare(a, b), -1);
    EXPECT_EQ(Compare(b, a), 1);
    CHighTime sameTicksInvalid = a;
    sameTicksInvalid.status = HighTimeStatus::invalid;
    EXPECT_EQ(Compare(a, sameTicksInvalid), 1);
    EXPECT_EQ(Compare(sameTicksInvalid, a), 1);
    CHighTime negative;
    negative.ticks = -5;
    EXPECT_EQ(Compare(negative, CHighTime()), -1);
}

// ---- Conversions to the platform's forms ----

TEST(CHighTimeConversionTest, StandardFormatFillsTheDateMembersOnly) {
    CHighTime::_HighTimeFormat f{};
    CHighTime::ConvertLongLongToTime(CHighTime(2024, 3, 1, 7, 8, 9).ticks, f);
    tm out{};
    out.tm_gmtoff = 77;
    out.tm_isdst = 1;
    CHighTime::ConvertToStandardFormat(f, out);
    EXPECT_EQ(out.tm_year, 124);
    EXPECT_EQ(out.tm_mon, 2);
    EXPECT_EQ(out.tm_mday, 1);
    EXPECT_EQ(out.tm_hour, 7);
    EXPECT_EQ(out.tm_min, 8);
    EXPECT_EQ(out.tm_sec, 9);
    EXPECT_EQ(out.tm_wday, 5);   // Friday, 0 = Sunday
    EXPECT_EQ(out.tm_yday, 60);  // 1 March of a leap year, 0-based
    EXPECT_EQ(out.tm_isdst, 0);
    EXPECT_EQ(out.tm_gmtoff, 77);
}

TEST(CHighTimeConversionTest, TimeTCountsSecondsSince1904) {
    EXPECT_EQ(CHighTime(1904, 1, 1).ConvertToTime_t(), 0);
    EXPECT_EQ(CHighTime(1904, 1, 2, 0, 0, 1, 999).ConvertToTime_t(), 86'401);
    // (JD 2001-01-01 - JD 1904-01-01) days.
    EXPECT_EQ(CHighTime(2001, 1, 1).ConvertToTime_t(),
              (JulianDay(2001, 1, 1) - JulianDay(1904, 1, 1)) * 86'400);
    // Beyond 2040 the count passes 2^32 and keeps growing instead of wrapping.
    EXPECT_EQ(CHighTime(2100, 1, 1).ConvertToTime_t(),
              (JulianDay(2100, 1, 1) - JulianDay(1904, 1, 1)) * 86'400);
    EXPECT_EQ(CHighTime(1850, 6, 1).ConvertToTime_t(),
              (JulianDay(1850, 6, 1) - JulianDay(1904, 1, 1)) * 86'400);
    CHighTime invalid(2023, 2, 29);
    EXPECT_EQ(invalid.ConvertToTime_t(), -1);
}

TEST(CHighTimeConversionTest, FromHostTimeTakesTheHostsRecord) {
    // KXTime 0 is 2001-01-01 00:00; one day and one second later.
    EXPECT_EQ(CHighTime(KXTime{0}).ticks, CHighTime(2001, 1, 1).ticks);
    const CHighTime t(KXTime{86'401});
    EXPECT_EQ(t.status, HighTimeStatus::valid);
    EXPECT_EQ(t.ticks, CHighTime(2001, 1, 2, 0, 0, 1).ticks);
    EXPECT_EQ(CHighTime(KXTime{-1}).ticks, CHighTime(2000, 12, 31, 23, 59, 59).ticks);
}
