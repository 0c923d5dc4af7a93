// Dates at the two ends of what 64 bits of ticks hold, through every operation of the date, the
// span and the stored date. Each answer must be a value that reads back or the invalid status;
// the sanitizer build shows that none of them takes an undefined path on the way. Expectations
// come from the standard library's calendar and from 128-bit sums, not from the date code.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "Dates/CHighTimePersistent.h"
#include "IO/File.h"
#include "Platform/FileTestSupport.h"
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

void ExpectOutcome(const CHighTime& value, Outcome expected, const char* what) {
    EXPECT_EQ(value.status, expected.status) << what;
    EXPECT_EQ(value.ticks, expected.ticks) << what;
}
void ExpectOutcome(const CHighTimeSpan& value, Outcome expected, const char* what) {
    EXPECT_EQ(value.status, expected.status) << what;
    EXPECT_EQ(value.ticks, expected.ticks) << what;
}

class HighTimeExtremesTest : public ::testing::TestWithParam<int64_t> {};

}  // namespace

TEST_P(HighTimeExtremesTest, DateFieldsAreTheCalendarsAndReadBack) {
    const int64_t ticks = GetParam();
    const Civil c = CivilOf(ticks);
    const CHighTime value = At(ticks);
    EXPECT_EQ(value.GetYear(), c.year);
    EXPECT_EQ(value.GetMonth(), c.month);
    EXPECT_EQ(value.GetDay(), c.day);
    EXPECT_EQ(value.GetHour(), c.hour);
    EXPECT_EQ(value.GetMinute(), c.minute);
    EXPECT_EQ(value.GetSecond(), c.second);
    EXPECT_EQ(value.GetMilliSecond(), c.subSecondTicks / 10'000);
    EXPECT_EQ(value.GetMicroSecond(), c.subSecondTicks / 10 % 1000);
    EXPECT_EQ(value.GetNanoSecond(), c.subSecondTicks % 10 * 100);
    EXPECT_EQ(value.GetDayOfWeek(), c.dayOfWeek);
    EXPECT_EQ(value.GetDayOfYear(), c.dayOfYear);

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
    // The components, put together again, give the count; the totals agree with them.
    const __int128 parts = static_cast<__int128>(span.GetDays()) * kDay +
                           static_cast<__int128>(span.GetHours()) * 3600 * kSecond +
                           static_cast<__int128>(span.GetMinutes()) * 60 * kSecond +
                           static_cast<__int128>(span.GetSeconds()) * kSecond +
                           span.GetMilliSeconds() * 10'000 + span.GetMicroSeconds() * 10 +
                           span.GetNanoSeconds() / 100;
    EXPECT_TRUE(parts == ticks);
    EXPECT_EQ(span.GetTotalDays(), span.GetDays());
    EXPECT_EQ(span.GetTotalHours(), span.GetDays() * 24 + span.GetHours());
    EXPECT_EQ(span.GetTotalMinutes(), span.GetTotalHours() * 60 + span.GetMinutes());
    EXPECT_EQ(span.GetTotalSeconds(), span.GetTotalMinutes() * 60 + span.GetSeconds());
    EXPECT_EQ(span.GetTotalMilliSeconds(), span.GetTotalSeconds() * 1000 + span.GetMilliSeconds());
    EXPECT_EQ(span.GetTotalMicroSeconds(),
              span.GetTotalMilliSeconds() * 1000 + span.GetMicroSeconds());
    // Far beyond what a count of nanoseconds holds: held at the limit of its sign.
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

TEST_P(HighTimeExtremesTest, StoredDateWritesAndReadsBackAnyStatus) {
    FileTest::TempFolder folder;
    const std::string path = folder / "date.bin";
    for (const HighTimeStatus status :
         {HighTimeStatus::valid, HighTimeStatus::invalid, HighTimeStatus::null}) {
        const CHighTimePersistent value = At(GetParam(), status);
        {
            IO::File file(IO::Location(path), IO::File::Create);
            ASSERT_EQ(file.Open(IO::File::WriteEmptyMode), IO::Err::NoError);
            EXPECT_EQ(value.Write(file), 0);
        }
        IO::File file(IO::Location(path), IO::File::Fail);
        ASSERT_EQ(file.Open(IO::File::ReadMode), IO::Err::NoError);
        CHighTimePersistent back;
        EXPECT_EQ(back.Read(file), 0);
        EXPECT_EQ(back.status, status);
        EXPECT_EQ(back.ticks, GetParam());
    }
}

INSTANTIATE_TEST_SUITE_P(EndsOfTheRange, HighTimeExtremesTest, ::testing::ValuesIn(kExtremes));

TEST(HighTimeExtremesSpanTest, PartsThatSumBeyondTheRangeGiveAnInvalidSpan) {
    // INT64_MAX ticks are 10 675 199 days 2:48:05.4775807.
    const struct {
        int32_t days, hours, minutes, seconds, milli, micro, nano;
        Outcome expected;
    } cases[] = {
        {10'675'199, 2, 48, 5, 477, 580, 700, {HighTimeStatus::valid, INT64_MAX}},
        {10'675'199, 2, 48, 5, 477, 580, 750, {HighTimeStatus::invalid, 0}},
        {-10'675'199, -2, -48, -5, -477, -580, -800, {HighTimeStatus::valid, INT64_MIN}},
        {-10'675'199, -2, -48, -5, -477, -580, -850, {HighTimeStatus::invalid, 0}},
        {INT32_MAX,
         INT32_MAX,
         INT32_MAX,
         INT32_MAX,
         INT32_MAX,
         INT32_MAX,
         INT32_MAX,
         {HighTimeStatus::invalid, 0}},
        {INT32_MIN, 0, 0, 0, 0, 0, 0, {HighTimeStatus::invalid, 0}},
        {0,
         INT32_MIN,
         INT32_MIN,
         INT32_MIN,
         INT32_MIN,
         INT32_MIN,
         INT32_MIN,
         {HighTimeStatus::invalid, 0}},
        // -2^31 s, ms and us and -2^31 ns rounded half away from zero: within the range.
        {0,
         0,
         0,
         INT32_MIN,
         INT32_MIN,
         INT32_MIN,
         INT32_MIN,
         {HighTimeStatus::valid, int64_t{INT32_MIN} * (kSecond + 10'000 + 10) - 21'474'836}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.days);
        const CHighTimeSpan span(c.days, c.hours, c.minutes, c.seconds, c.milli, c.micro, c.nano);
        ExpectOutcome(span, c.expected, "SetHighTimeSpan");
    }
}

TEST(HighTimeExtremesHostTest, EndsOfTheHostsSpanConvertBothWays) {
    // KXTime counts seconds from 2001-01-01 00:00 in 32 bits.
    const int64_t base = DaysFrom1601(2001) * kDay;
    for (const KXTime host : {INT32_MIN, INT32_MIN + 1, -1, 0, INT32_MAX - 1, INT32_MAX}) {
        SCOPED_TRACE(host);
        const CHighTimePersistent value(host);
        EXPECT_EQ(value.status, HighTimeStatus::valid);
        EXPECT_EQ(value.ticks, base + int64_t{host} * kSecond);
        KXTime back = 0;
        EXPECT_EQ(value.ToKXTime(back), TIErr::NoError);
        EXPECT_EQ(back, host);
    }
    // One second beyond either end is refused.
    for (const int64_t beyond :
         {base + (int64_t{INT32_MIN} - 1) * kSecond, base + (int64_t{INT32_MAX} + 1) * kSecond}) {
        KXTime back = 7;
        EXPECT_EQ(At(beyond).ToKXTime(back), TIErr::OutOfRange);
        EXPECT_EQ(back, 7);
    }
}
