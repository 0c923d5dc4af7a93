#pragma once
// Day counts to and from the proleptic Gregorian calendar (Howard Hinnant's days_from_civil and
// civil_from_days), for every date type built on a count of days. Day 0 is 1970-01-01; the
// count runs on through years before 0, which is why divisions round toward minus infinity.
#include <cstdint>

struct CivilDate {
    int64_t year;
    int32_t month;  // [1, 12]
    int32_t day;    // [1, 31]
};

namespace civil_days_detail {
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
}  // namespace civil_days_detail

// Days from 1970-01-01 to y-m-d, for any month and day (they are counted on from the year and
// month, so month 13 is January of the next year and day 0 the last day of the month before).
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    using civil_days_detail::FloorDiv;
    y += FloorDiv(m - 1, 12);
    m -= 12 * FloorDiv(m - 1, 12);  // [1, 12]
    y -= m <= 2 ? 1 : 0;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;                            // [0, 399]
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5;  // [0, 365], day 1
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;    // [0, 146096]
    return era * 146'097 + doe - 719'468 + (d - 1);
}

// The calendar date of a day count, worked out in eras of 400 years starting on 1 March, so that
// the leap day falls at the end of each year.
constexpr CivilDate CivilFromDays(int64_t days) {
    using civil_days_detail::FloorDiv;
    const int64_t z = days + 719'468;  // 0000-03-01 is 0
    const int64_t era = FloorDiv(z, 146'097);
    const int64_t doe = z - era * 146'097;                                        // [0, 146096]
    const int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;  // [0, 399]
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);                  // [0, 365]
    const int64_t mp = (5 * doy + 2) / 153;                                       // [0, 11]
    const int32_t day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);       // [1, 31]
    const int32_t month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);        // [1, 12]
    return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}
