// Spans: construction from parts, totals and components with truncation toward zero.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "Dates/CHighTimeSpan.h"

namespace {

constexpr int64_t kSecond = 10'000'000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 3600 * kSecond;
constexpr int64_t kDay = 24 * kHour;
constexpr int32_t kMax = INT32_MAX;

}  // namespace

TEST(CHighTimeSpanTest, TicksAreTheExactSumOfTheParts) {
    const struct {
        std::array<int32_t, 7> parts;  // days, hours, minutes, seconds, milli, micro, nano
        int64_t ticks;
        bool valid = true;  // invalid: ticks 0
    } cases[] = {{{1, 25, 0, 0, 0, 0, 0}, 2 * kDay + kHour},
                 {{-1, 2, 0, 0, 0, 0, 0}, -kDay + 2 * kHour},
                 {{0, 0, 0, 0, 0, 0, 49}, 0},
                 {{0, 0, 0, 0, 0, 0, 50}, 1},
                 {{0, 0, 0, 0, 0, 0, -50}, -1},
                 {{0, 0, 0, 1, -1, 0, 0}, kSecond - 10'000},
                 // Parts whose 32-bit sums would overflow still give the exact total.
                 {{0, 0, 0, 0, 0, kMax, 0}, int64_t{kMax} * 10},
                 {{0, 0, kMax, kMax, 0, 0, 0}, int64_t{kMax} * (kMinute + kSecond)},
                 // INT64_MAX ticks are 10 675 199 days 2:48:05.4775807; beyond either end the
                 // span is invalid (5.9 million years of days overflow 64 bits).
                 {{10'675'199, 2, 48, 5, 477, 580, 700}, INT64_MAX},
                 {{10'675'199, 2, 48, 5, 477, 580, 750}, 0, false},
                 {{-10'675'199, -2, -48, -5, -477, -580, -800}, INT64_MIN},
                 {{-10'675'199, -2, -48, -5, -477, -580, -850}, 0, false},
                 {{kMax, 0, 0, 0, 0, 0, 0}, 0, false},
                 {{0, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN}, 0, false},
                 // -2^31 s, ms and us and -2^31 ns rounded half away from zero: within the range.
                 {{0, 0, 0, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN},
                  int64_t{INT32_MIN} * (kSecond + 10'000 + 10) - 21'474'836}};
    for (const auto& c : cases) {
        const auto& [d, h, m, s, ms, us, ns] = c.parts;
        CHighTimeSpan span;
        span.status = HighTimeStatus::invalid;
        span.SetHighTimeSpan(d, h, m, s, ms, us, ns);
        EXPECT_EQ(span.status, c.valid ? HighTimeStatus::valid : HighTimeStatus::invalid)
            << c.ticks;
        EXPECT_EQ(span.ticks, c.ticks);
    }
}

TEST(CHighTimeSpanTest, ComponentsTruncateTowardZeroAndAddUpAgain) {
    constexpr int64_t kMixed = 2 * kDay + 3 * kHour + 4 * kMinute + 5 * kSecond + 6 * 10'000 + 78;
    const struct {
        int64_t ticks;
        std::array<int64_t, 7> parts;  // days, hours, minutes, seconds, milli, micro, nano
    } cases[] = {{kMixed, {2, 3, 4, 5, 6, 7, 800}},
                 {-kMixed, {-2, -3, -4, -5, -6, -7, -800}},
                 {-1, {0, 0, 0, 0, 0, 0, -100}},
                 {-kDay + 2 * kHour, {0, -22, 0, 0, 0, 0, 0}}};
    for (const auto& c : cases) {
        CHighTimeSpan span;
        span.ticks = c.ticks;
        span.status = HighTimeStatus::invalid;  // components do not look at status
        EXPECT_EQ((std::array<int64_t, 7>{span.GetDays(), span.GetHours(), span.GetMinutes(),
                                          span.GetSeconds(), span.GetMilliSeconds(),
                                          span.GetMicroSeconds(), span.GetNanoSeconds()}),
                  c.parts)
            << c.ticks;
    }
}

TEST(CHighTimeSpanTest, TotalsTruncateTowardZeroAndHoldAtTheLimits) {
    const CHighTimeSpan span(1, 25, 0, 0);
    EXPECT_EQ(span.GetTotalDays(), 2);
    EXPECT_EQ(span.GetTotalHours(), 49);
    CHighTimeSpan negative;
    negative.ticks = -(90 * kMinute + 1);  // minus 1 h 30 min and one tick
    EXPECT_EQ((std::array<int64_t, 7>{
                  negative.GetTotalDays(), negative.GetTotalHours(), negative.GetTotalMinutes(),
                  negative.GetTotalSeconds(), negative.GetTotalMilliSeconds(),
                  negative.GetTotalMicroSeconds(), negative.GetTotalNanoSeconds()}),
              (std::array<int64_t, 7>{0, -1, -90, -5400, -5'400'000, -5'400'000'000,
                                      -5'400'000'000'100}));
    // The nanosecond total holds at the 64-bit limits instead of overflowing.
    negative.ticks = INT64_MAX / 100 + 1;
    EXPECT_EQ(negative.GetTotalNanoSeconds(), INT64_MAX);
    negative.ticks = -negative.ticks;
    EXPECT_EQ(negative.GetTotalNanoSeconds(), INT64_MIN);
}
