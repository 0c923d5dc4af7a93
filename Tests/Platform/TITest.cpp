// The host's time service against dates counted here by hand, and its refusals.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "Platform/TimeLocale.h"
#include "TI.h"

namespace {

struct Civil {
    uint16_t year, month, day, hour, minute, second;
};

KXTimeRecord Record(Civil c, uint16_t millisecond = 0) {
    return {c.year, c.month, 0, c.day, c.hour, c.minute, c.second, millisecond};
}

}  // namespace

TEST(TIConversionTest, RecordsAndValuesMatchHandCountedSeconds) {
    // Days since 2001-01-01 times 86 400 plus the time of day; the weekday 0 is Sunday.
    const struct {
        Civil civil;
        uint16_t dayOfWeek;
        KXTime value;
    } cases[] = {{{2001, 1, 1, 0, 0, 0}, 1, 0},
                 {{2000, 12, 31, 23, 59, 59}, 0, -1},
                 {{2000, 2, 29, 12, 0, 0}, 2, -(307 * 86'400) + 12 * 3600},
                 {{2024, 3, 1, 6, 30, 0}, 5, 8460 * 86'400 + 6 * 3600 + 30 * 60},
                 {{2069, 1, 19, 3, 14, 7}, 6, INT32_MAX},
                 {{1932, 12, 13, 20, 45, 52}, 2, INT32_MIN}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const KXTimeRecord record = Record(c.civil);
        for (int32_t flags : {TIConvertPlain, TIConvertV3}) {
            KXTime value = 777;
            EXPECT_EQ(TIGetKXTime(&record, &value, flags), TIErr::NoError);
            EXPECT_EQ(value, c.value) << "flags " << flags;
        }
        KXTimeRecord back{};
        EXPECT_EQ(TIGetTimeRecord(c.value, &back, TIConvertPlain), TIErr::NoError);
        EXPECT_EQ((std::array<uint16_t, 8>{back.year, back.month, back.day, back.hour, back.minute,
                                           back.second, back.dayOfWeek, back.millisecond}),
                  (std::array<uint16_t, 8>{c.civil.year, c.civil.month, c.civil.day, c.civil.hour,
                                           c.civil.minute, c.civil.second, c.dayOfWeek, 0}));
    }
    // Milliseconds and a wrong day of the week do not count.
    KXTimeRecord record = Record({2001, 1, 1, 0, 0, 1}, 999);
    record.dayOfWeek = 5;
    KXTime value = 0;
    EXPECT_EQ(TIGetKXTime(&record, &value, TIConvertPlain), TIErr::NoError);
    EXPECT_EQ(value, 1);
}

TEST(TIRecordTest, DatesOutsideThirtyTwoBitsImpossibleRecordsAndMisuseAreRefused) {
    const std::pair<KXTimeRecord, GSErrCode> cases[] = {
        {Record({2069, 1, 19, 3, 14, 8}), TIErr::OutOfRange},
        {Record({1932, 12, 13, 20, 45, 51}), TIErr::OutOfRange},
        {Record({65535, 12, 31, 0, 0, 0}), TIErr::OutOfRange},
        {Record({0, 1, 1, 0, 0, 0}), TIErr::OutOfRange},
        {Record({2023, 2, 29, 0, 0, 0}), TIErr::BadRecord},
        {Record({1900, 2, 29, 0, 0, 0}), TIErr::BadRecord},  // no leap day, and out of span
        {Record({2024, 2, 30, 0, 0, 0}), TIErr::BadRecord},
        {Record({2024, 4, 31, 0, 0, 0}), TIErr::BadRecord},
        {Record({2024, 0, 1, 0, 0, 0}), TIErr::BadRecord},
        {Record({2024, 1, 0, 0, 0, 0}), TIErr::BadRecord},
        {Record({2024, 1, 1, 24, 0, 0}), TIErr::BadRecord},
        {Record({2024, 1, 1, 0, 0, 60}), TIErr::BadRecord},
        {Record({2024, 1, 1, 0, 0, 0}, 1000), TIErr::BadRecord},
        {Record({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}), TIErr::BadRecord}};
    for (const auto& [record, error] : cases) {
        KXTime value = 777;
        EXPECT_EQ(TIGetKXTime(&record, &value, TIConvertPlain), error)
            << record.year << "-" << record.month << "-" << record.day << " " << record.hour;
        EXPECT_EQ(value, 777);
    }
    const KXTimeRecord record = Record({2024, 1, 1, 0, 0, 0});
    KXTime value = 0;
    char text[TITimeStringSize];
    EXPECT_EQ(TIGetKXTime(nullptr, &value, 0), TIErr::BadParameter);
    EXPECT_EQ(TIGetKXTime(&record, nullptr, 0), TIErr::BadParameter);
    EXPECT_EQ(TIGetKXTime(&record, &value, 2), TIErr::BadParameter);
    EXPECT_EQ(TIGetTimeRecord(0, nullptr, 0), TIErr::BadParameter);
    EXPECT_EQ(TIGetTimeString(0, nullptr, TIShortDate), TIErr::BadParameter);
    EXPECT_EQ(TIGetTimeString(0, text, 0), TIErr::BadParameter);
}

TEST(TITimeStringTest, ShortDateOfTheLocaleAndTheTimeOfDay) {
    TimeLocale locale("en_GB.UTF-8");
    if (!locale.ok()) GTEST_SKIP() << "en_GB.UTF-8 cannot be set; run scripts/setup.sh";
    const KXTime value = 8460 * 86'400 + 6 * 3600 + 30 * 60;  // 2024-03-01 06:30
    char text[TITimeStringSize];
    ASSERT_EQ(TIGetTimeString(value, text, TIShortDate), TIErr::NoError);
    EXPECT_STREQ(text, "01/03/2024");
    ASSERT_EQ(TIGetTimeString(value, text, TIShortDate | TITimeText), TIErr::NoError);
    EXPECT_STREQ(text, "01/03/2024 06:30");
}

TEST(TIPresentTimeTest, PresentTimeIsTheLocalWallClock) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ASSERT_NE(localtime_r(&now, &local), nullptr);
    KXTimeRecord record{};
    ASSERT_EQ(TIGetTimeRecord(TIGetTime(), &record, TIConvertPlain), TIErr::NoError);
    EXPECT_EQ(record.year, local.tm_year + 1900);
    EXPECT_EQ(record.month, local.tm_mon + 1);
    // Within a minute of the clock read here (across midnight the day may differ).
    const int here = local.tm_hour * 60 + local.tm_min;
    const int there = record.hour * 60 + record.minute;
    EXPECT_TRUE(std::abs(here - there) <= 1 || std::abs(here - there) == 1439)
        << here << " " << there;
}
