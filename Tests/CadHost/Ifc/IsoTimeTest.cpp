// The ISO 8601 texts of IFC scheduling: dates and times, and durations added to them. Every
// expected value is worked out by hand from the calendar.
#include <gtest/gtest.h>

#include "Ifc/IsoTime.h"

namespace {

using CadHost::IsoTime;
using CadHost::PlanDateTime;

PlanDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return PlanDateTime{y, mo, d, h, mi, s};
}

TEST(IsoTimeTest, DateTimes) {
    struct Case {
        const char* text;
        bool ok;
        PlanDateTime expected;
    };
    const Case cases[] = {
        {"2024-03-04", true, At(2024, 3, 4)},
        {"2024-03-04T08:30:15", true, At(2024, 3, 4, 8, 30, 15)},
        {"2024-03-04T08:30:15.250Z", true, At(2024, 3, 4, 8, 30, 15)},
        {"2024-02-29T23:59:59", true, At(2024, 2, 29, 23, 59, 59)},
        {"2024-12-31T24:00:00", true, At(2025, 1, 1)},  // the end of the last day of the year
        {"2023-02-29", false, {}},                      // no leap year
        {"1900-02-29", false, {}},                      // a century is none either
        {"2024-13-01", false, {}},
        {"2024-03-04T25:00", false, {}},
        {"", false, {}},
    };
    for (const Case& c : cases) {
        PlanDateTime got = At(1, 1, 1);
        EXPECT_EQ(IsoTime::ParseDateTime(c.text, got), c.ok) << c.text;
        EXPECT_EQ(got, c.ok ? c.expected : At(1, 1, 1)) << c.text;
    }
}

TEST(IsoTimeTest, DurationsAddedAndTakenAway) {
    struct Case {
        PlanDateTime from;
        const char* duration;
        bool backwards;
        bool ok;
        PlanDateTime expected;
    };
    const Case cases[] = {
        {At(2024, 3, 11, 8), "P4D", false, true, At(2024, 3, 15, 8)},
        {At(2024, 3, 18, 8), "PT6H30M15S", false, true, At(2024, 3, 18, 14, 30, 15)},
        {At(2024, 2, 28), "P1D", false, true, At(2024, 2, 29)},
        {At(2024, 3, 1), "P1.5D", false, true, At(2024, 3, 2, 12)},
        {At(2024, 1, 31), "P1M", false, true, At(2024, 2, 29)},  // the month's last day
        {At(2024, 2, 29), "P1Y", false, true, At(2025, 2, 28)},
        {At(2024, 11, 15), "P1Y2M3DT4H", false, true, At(2026, 1, 18, 4)},
        {At(2024, 12, 31, 23), "PT1H", false, true, At(2025, 1, 1)},
        {At(2024, 3, 1, 2), "PT3H", true, true, At(2024, 2, 29, 23)},
        {At(2024, 3, 31), "P1M", true, true, At(2024, 2, 29)},
        {At(2024, 3, 1), "P3X", false, false, {}},
        {At(2024, 3, 1), "P1.5M", false, false, {}},  // a calendar step has no fraction
        {At(2024, 3, 1), "PT1H2D", false, false, {}},
        {At(2024, 3, 1), "P-1D", false, false, {}},
        {At(2024, 3, 1), "P9000Y", false, false, {}},  // past year 9999
        {At(2024, 3, 1), "P99999999999D", false, false, {}},
    };
    for (const Case& c : cases) {
        PlanDateTime got = At(1, 1, 1);
        EXPECT_EQ(IsoTime::AddDuration(c.from, c.duration, got, c.backwards), c.ok)
            << c.duration << " from " << c.from.Text();
        EXPECT_EQ(got, c.ok ? c.expected : At(1, 1, 1)) << c.duration << " from " << c.from.Text();
    }
}

}  // namespace
