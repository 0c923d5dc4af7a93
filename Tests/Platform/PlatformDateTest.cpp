// The platform's 1904-based seconds and its short date text.
#include <gtest/gtest.h>

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

TEST(PlatformDateSecondsTest, CountsFrom1904WithoutWrapping) {
    EXPECT_EQ(Seconds(1904, 1, 1), 0);
    EXPECT_EQ(Seconds(1904, 1, 2, 1, 2, 3), 86'400 + 3723);
    EXPECT_EQ(Seconds(1903, 12, 31), -86'400);
    // 1904-1969: 66 years, 17 of them leap years (1904 ... 1968).
    EXPECT_EQ(Seconds(1970, 1, 1), (66 * 365 + 17) * int64_t{86'400});
    // 2040-02-06 06:28:16 is 2^32: a 32-bit count would wrap here.
    EXPECT_EQ(Seconds(2040, 2, 6, 6, 28, 16), int64_t{1} << 32);
}

TEST(PlatformDateSecondsTest, SecondsBackToTheRecord) {
    for (int64_t seconds : {int64_t{0}, int64_t{-1}, int64_t{1} << 32, int64_t{3'061'152'000},
                            int64_t{-86'400 * 1000LL}}) {
        DateTimeRec date{};
        SecondsToDate(seconds, &date);
        EXPECT_EQ(Seconds(date.year, date.month, date.day, date.hour, date.minute, date.second),
                  seconds);
    }
    DateTimeRec date{};
    SecondsToDate(0, &date);
    EXPECT_EQ(date.dayOfWeek, 6);  // 1904-01-01 was a Friday
    SecondsToDate(3'061'152'000, &date);
    EXPECT_EQ(date.year, 2001);
    EXPECT_EQ(date.dayOfWeek, 2);  // 2001-01-01, a Monday
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
