// Spans: construction from parts, totals and components with truncation toward zero.
#include <gtest/gtest.h>

#include <cstdint>

#include "CHighTimeSpan.h"

namespace {

constexpr int64_t kSecond = 10'000'000;
constexpr int64_t kHour = 3600 * kSecond;
constexpr int64_t kDay = 24 * kHour;

}  // namespace

struct PartsCase {
    int32_t days, hours, minutes, seconds, milli, micro, nano;
    int64_t ticks;
};

class CHighTimeSpanPartsTest : public ::testing::TestWithParam<PartsCase> {};

TEST_P(CHighTimeSpanPartsTest, TicksAreTheSumOfTheParts) {
    const PartsCase c = GetParam();
    CHighTimeSpan span;
    span.status = HighTimeStatus::invalid;
    span.SetHighTimeSpan(c.days, c.hours, c.minutes, c.seconds, c.milli, c.micro, c.nano);
    EXPECT_EQ(span.status, HighTimeStatus::valid);
    EXPECT_EQ(span.ticks, c.ticks);
}

INSTANTIATE_TEST_SUITE_P(
    CarriesSignsAndRounding, CHighTimeSpanPartsTest,
    ::testing::Values(PartsCase{1, 25, 0, 0, 0, 0, 0, 2 * kDay + kHour},
                      PartsCase{0, 0, 90, 0, 0, 0, 0, 90 * 60 * kSecond},
                      PartsCase{-1, 2, 0, 0, 0, 0, 0, -kDay + 2 * kHour},
                      PartsCase{0, 0, 0, 0, 0, 0, 49, 0}, PartsCase{0, 0, 0, 0, 0, 0, 50, 1},
                      PartsCase{0, 0, 0, 0, 0, 0, -49, 0}, PartsCase{0, 0, 0, 0, 0, 0, -50, -1},
                      PartsCase{0, 0, 0, 0, 0, 0, -150, -2},
                      PartsCase{0, 0, 0, 1, -1, 0, 0, kSecond - 10'000},
                      // Parts whose 32-bit sums would overflow still give the exact total.
                      PartsCase{0, 0, 0, 0, 0, INT32_MAX, 0, int64_t{INT32_MAX} * 10},
                      PartsCase{0, 0, INT32_MAX, INT32_MAX, 0, 0, 0,
                                int64_t{INT32_MAX} * 60 * kSecond + int64_t{INT32_MAX} * kSecond}));

TEST(CHighTimeSpanLimitTest, ASumBeyondSixtyFourBitsIsInvalid) {
    CHighTimeSpan span;
    span.SetHighTimeSpan(INT32_MAX, 0, 0, 0, 0, 0, 0);  // 5.9 million years
    EXPECT_EQ(span.status, HighTimeStatus::invalid);
}

struct ComponentCase {
    int64_t ticks;
    int64_t days, hours, minutes, seconds, milli, micro;
    int32_t nano;
};

class CHighTimeSpanComponentTest : public ::testing::TestWithParam<ComponentCase> {};

TEST_P(CHighTimeSpanComponentTest, ComponentsTruncateTowardZero) {
    const ComponentCase c = GetParam();
    CHighTimeSpan span;
    span.ticks = c.ticks;
    span.status = HighTimeStatus::invalid;  // components do not look at status
    EXPECT_EQ(span.GetDays(), c.days);
    EXPECT_EQ(span.GetHours(), c.hours);
    EXPECT_EQ(span.GetMinutes(), c.minutes);
    EXPECT_EQ(span.GetSeconds(), c.seconds);
    EXPECT_EQ(span.GetMilliSeconds(), c.milli);
    EXPECT_EQ(span.GetMicroSeconds(), c.micro);
    EXPECT_EQ(span.GetNanoSeconds(), c.nano);
    // The parts add up to the span again.
    EXPECT_EQ(c.days * kDay + c.hours * kHour + c.minutes * 60 * kSecond + c.seconds * kSecond +
                  c.milli * 10'000 + c.micro * 10 + c.nano / 100,
              c.ticks);
}

constexpr int64_t kMixed =
    2 * kDay + 3 * kHour + 4 * 60 * kSecond + 5 * kSecond + 6 * 10'000 + 7 * 10 + 8;

INSTANTIATE_TEST_SUITE_P(PositiveAndNegative, CHighTimeSpanComponentTest,
                         ::testing::Values(ComponentCase{kMixed, 2, 3, 4, 5, 6, 7, 800},
                                           ComponentCase{-kMixed, -2, -3, -4, -5, -6, -7, -800},
                                           ComponentCase{-1, 0, 0, 0, 0, 0, 0, -100},
                                           ComponentCase{-kDay + 2 * kHour, 0, -22, 0, 0, 0, 0,
                                                         0}));

TEST(CHighTimeSpanTotalsTest, TotalsTruncateTowardZero) {
    const CHighTimeSpan span(1, 25, 0, 0);
    EXPECT_EQ(span.GetTotalDays(), 2);
    EXPECT_EQ(span.GetTotalHours(), 49);
    EXPECT_EQ(span.GetDays(), 2);
    EXPECT_EQ(span.GetHours(), 1);
    CHighTimeSpan negative;
    negative.ticks = -(90 * 60 * kSecond + 1);  // minus 1 h 30 min and one tick
    EXPECT_EQ(negative.GetTotalHours(), -1);
    EXPECT_EQ(negative.GetTotalMinutes(), -90);
    EXPECT_EQ(negative.GetTotalSeconds(), -5400);
    EXPECT_EQ(negative.GetTotalMilliSeconds(), -5'400'000);
    EXPECT_EQ(negative.GetTotalMicroSeconds(), -5'400'000'000);
    EXPECT_EQ(negative.GetTotalNanoSeconds(), -5'400'000'000'100);
    EXPECT_EQ(negative.GetTotalDays(), 0);
}

TEST(CHighTimeSpanTotalsTest, NanosecondTotalHoldsAtTheLimitsInsteadOfOverflowing) {
    CHighTimeSpan span;
    span.ticks = INT64_MAX / 100 + 1;
    EXPECT_EQ(span.GetTotalNanoSeconds(), INT64_MAX);
    span.ticks = -span.ticks;
    EXPECT_EQ(span.GetTotalNanoSeconds(), INT64_MIN);
}
