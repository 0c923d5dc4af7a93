// The host's time service against seconds counted here by hand, and its refusals.
#include <gtest/gtest.h>

#include <array>

#include "TI.h"

namespace {

KXTimeRecord Record(uint16_t y, uint16_t mo, uint16_t d, uint16_t h, uint16_t mi, uint16_t s,
                    uint16_t ms = 0) {
    return {y, mo, 0, d, h, mi, s, ms};
}

TEST(TITest, RecordsAndValuesMatchHandCountedSeconds) {
    // Days since 2001-01-01 times 86 400 plus the time of day; the weekday 0 is Sunday.
    const struct {
        KXTimeRecord record;
        uint16_t dayOfWeek;
        KXTime value;
    } cases[] = {{Record(2001, 1, 1, 0, 0, 0), 1, 0},
                 {Record(2000, 12, 31, 23, 59, 59), 0, -1},
                 {Record(2000, 2, 29, 12, 0, 0), 2, -(307 * 86'400) + 12 * 3600},
                 {Record(2069, 1, 19, 3, 14, 7), 6, INT32_MAX},
                 {Record(1932, 12, 13, 20, 45, 52), 2, INT32_MIN}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        KXTime value = 777;
        EXPECT_EQ(TIGetKXTime(&c.record, &value, TIConvertV3), TIErr::NoError);
        EXPECT_EQ(value, c.value);
        KXTimeRecord b{};
        EXPECT_EQ(TIGetTimeRecord(c.value, &b, TIConvertPlain), TIErr::NoError);
        const KXTimeRecord& r = c.record;
        EXPECT_EQ((std::array{b.year, b.month, b.day, b.hour, b.minute, b.second, b.dayOfWeek}),
                  (std::array{r.year, r.month, r.day, r.hour, r.minute, r.second, c.dayOfWeek}));
    }
}

TEST(TITest, DatesOutsideThirtyTwoBitsImpossibleRecordsAndMisuseAreRefused) {
    const std::pair<KXTimeRecord, GSErrCode> cases[] = {
        {Record(2069, 1, 19, 3, 14, 8), TIErr::OutOfRange},
        {Record(1932, 12, 13, 20, 45, 51), TIErr::OutOfRange},
        {Record(2023, 2, 29, 0, 0, 0), TIErr::BadRecord},
        {Record(1900, 2, 29, 0, 0, 0), TIErr::BadRecord},  // no leap day, and out of span
        {Record(2024, 4, 31, 0, 0, 0), TIErr::BadRecord},
        {Record(2024, 1, 1, 24, 0, 0), TIErr::BadRecord},
        {Record(2024, 1, 1, 0, 0, 0, 1000), TIErr::BadRecord}};
    for (const auto& [record, error] : cases) {
        KXTime value = 777;
        EXPECT_EQ(TIGetKXTime(&record, &value, TIConvertPlain), error)
            << record.year << "-" << record.month << "-" << record.day << " " << record.hour;
        EXPECT_EQ(value, 777);
    }
    const KXTimeRecord record = Record(2024, 1, 1, 0, 0, 0);
    KXTime value = 0;
    EXPECT_EQ(TIGetKXTime(&record, &value, 2), TIErr::BadParameter);
    EXPECT_EQ(TIGetTimeString(0, nullptr, TIShortDate), TIErr::BadParameter);
}

}  // namespace
