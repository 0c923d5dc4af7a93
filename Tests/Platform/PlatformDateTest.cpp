// The platform's 1904-based seconds and its short date text.
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstring>
#include <string>

#include "Platform/TimeLocale.h"
#include "PlatformDate.h"

namespace {

int64_t Seconds(int16_t y, int16_t m, int16_t d, int16_t h = 0, int16_t mi = 0, int16_t s = 0) {
    const DateTimeRec date{y, m, d, h, mi, s, 0};
    int64_t seconds = -12345;
    DateToSeconds(&date, &seconds);
    return seconds;
}

}  // namespace

TEST(PlatformDateSecondsTest, CountsFrom1904WithoutWrappingAndBack) {
    const struct {
        DateTimeRec date;
        int64_t seconds;
    } cases[] = {
        {{1904, 1, 1, 0, 0, 0, 6}, 0},  // a Friday
        {{1904, 1, 2, 1, 2, 3, 7}, 86'400 + 3723},
        {{1903, 12, 31, 0, 0, 0, 5}, -86'400},
        {{1903, 12, 31, 23, 59, 59, 5}, -1},
        // 1904-1969: 66 years, 17 of them leap years (1904 ... 1968).
        {{1970, 1, 1, 0, 0, 0, 5}, (66 * 365 + 17) * int64_t{86'400}},
        {{2001, 1, 1, 0, 0, 0, 2}, 3'061'152'000},  // a Monday
        // 2040-02-06 06:28:16 is 2^32: a 32-bit count would wrap here.
        {{2040, 2, 6, 6, 28, 16, 2}, int64_t{1} << 32},
        {{1901, 4, 6, 0, 0, 0, 7}, -86'400 * 1000LL},
    };
    for (const auto& c : cases) {
        const DateTimeRec& d = c.date;
        EXPECT_EQ(Seconds(d.year, d.month, d.day, d.hour, d.minute, d.second), c.seconds);
        DateTimeRec back{};
        SecondsToDate(c.seconds, &back);
        EXPECT_EQ((std::array{back.year, back.month, back.day, back.hour, back.minute, back.second,
                              back.dayOfWeek}),
                  (std::array{d.year, d.month, d.day, d.hour, d.minute, d.second, d.dayOfWeek}))
            << c.seconds;
    }
}

struct OrderCase {
    const char* locale;
    const char* letters;
    char separator;
    const char* text;  // of 2024-03-01
};

TEST(PlatformDateTextTest, FollowsTheLocalesOrder) {
    const OrderCase cases[] = {{"C", "mdy", '/', "03/01/2024"},
                               {"en_US.UTF-8", "mdy", '/', "03/01/2024"},
                               {"en_GB.UTF-8", "dmy", '/', "01/03/2024"},
                               {"de_DE.UTF-8", "dmy", '.', "01.03.2024"},
                               {"ja_JP.UTF-8", "ymd", '/', "2024/03/01"}};
    for (const OrderCase& c : cases) {
        TimeLocale locale(c.locale);
        if (!locale.ok()) GTEST_SKIP() << c.locale << " cannot be set; run scripts/setup.sh";
        const ShortDateOrder order = CurrentShortDateOrder();
        EXPECT_STREQ(order.letters, c.letters) << c.locale;
        EXPECT_EQ(order.separator, c.separator) << c.locale;
        unsigned char pascal[256];
        DateString(Seconds(2024, 3, 1, 15), pascal);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(pascal + 1), pascal[0]), c.text) << c.locale;
    }
}

TEST(PlatformDateTextTest, YearsKeepFourDigits) {
    TimeLocale locale("en_GB.UTF-8");
    if (!locale.ok()) GTEST_SKIP() << "en_GB.UTF-8 cannot be set; run scripts/setup.sh";
    char text[32];
    EXPECT_EQ(ShortDateText(2003, 12, 31, text, sizeof text), 10);
    EXPECT_STREQ(text, "31/12/2003");
    ShortDateText(5, 1, 2, text, sizeof text);
    EXPECT_STREQ(text, "02/01/0005");
    ShortDateText(29000, 1, 2, text, sizeof text);
    EXPECT_STREQ(text, "02/01/29000");
    EXPECT_EQ(ShortDateText(2003, 12, 31, text, 6), 5);
    EXPECT_STREQ(text, "31/12");
}
