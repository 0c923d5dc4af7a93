// The platform's 1904-based seconds and its short date text.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "Platform/TimeLocale.h"
#include "PlatformDate.h"

TEST(PlatformDateTest, CountsFrom1904WithoutWrappingAndBack) {
    const struct {
        DateTimeRec d;
        int64_t seconds;
    } cases[] = {
        {{1904, 1, 1, 0, 0, 0, 6}, 0},  // a Friday
        {{1903, 12, 31, 23, 59, 59, 5}, -1},
        // 1904-1969: 66 years, 17 of them leap years (1904 ... 1968).
        {{1970, 1, 1, 0, 0, 0, 5}, (66 * 365 + 17) * int64_t{86'400}},
        // 2040-02-06 06:28:16 is 2^32: a 32-bit count used to wrap here.
        {{2040, 2, 6, 6, 28, 16, 2}, int64_t{1} << 32},
    };
    for (const auto& [d, seconds] : cases) {
        int64_t counted = -12345;
        DateToSeconds(&d, &counted);
        EXPECT_EQ(counted, seconds);
        DateTimeRec b{};
        SecondsToDate(seconds, &b);
        EXPECT_EQ((std::array{b.year, b.month, b.day, b.hour, b.minute, b.second, b.dayOfWeek}),
                  (std::array{d.year, d.month, d.day, d.hour, d.minute, d.second, d.dayOfWeek}))
            << seconds;
    }
}

TEST(PlatformDateTest, ShortDateFollowsTheLocalesOrderAndKeepsFourDigitYears) {
    const struct {
        const char* locale;
        int year;
        const char* text;  // of the 1st of March
    } cases[] = {{"C", 2024, "03/01/2024"},
                 {"en_GB.UTF-8", 5, "01/03/0005"},
                 {"de_DE.UTF-8", 29000, "01.03.29000"},
                 {"ja_JP.UTF-8", 2024, "2024/03/01"}};
    for (const auto& c : cases) {
        TimeLocale locale(c.locale);
        if (!locale.ok()) GTEST_SKIP() << c.locale << " cannot be set; run scripts/setup.sh";
        char text[32];
        EXPECT_EQ(ShortDateText(c.year, 3, 1, text, sizeof text), int(std::strlen(c.text)));
        EXPECT_STREQ(text, c.text) << c.locale;
    }
    TimeLocale locale("C");
    const DateTimeRec date{2024, 3, 1, 15, 0, 0, 0};
    int64_t seconds = 0;
    DateToSeconds(&date, &seconds);
    unsigned char pascal[256];
    DateString(seconds, pascal);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(pascal + 1), pascal[0]), "03/01/2024");
    char text[32];
    EXPECT_EQ(ShortDateText(2003, 12, 31, text, 6), 5);
    EXPECT_STREQ(text, "12/31");
}
