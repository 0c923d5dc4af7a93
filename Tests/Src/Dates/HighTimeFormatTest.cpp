// Pattern formatting of dates and spans, and the token routines under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "Dates/CHighTime.h"
#include "Platform/TimeLocale.h"

namespace {

template <typename T>
std::string Format(const T& value, const char* pattern, int size = 256) {
    char buffer[256];
    const char* result = value.Format(buffer, size, pattern);
    return result != nullptr ? std::string(result) : std::string("<null>");
}

}  // namespace

TEST(CHighTimeFormatTest, PatternsInTheCLocale) {
    TimeLocale c("C");
    const CHighTime t(2024, 3, 1, 7, 8, 9, 7, 45, 600);
    const struct {
        CHighTime value;
        const char* pattern;
        int size;
        const char* expected;
    } cases[] = {
        {t, "%x %H:%M", 256, "03/01/24 07:08"},
        // Sub-second tokens are replaced before strftime sees the pattern.
        {t, "%s", 256, "007"},
        {t, "[%#s]", 256, "[7]"},
        {t, "%S.%s%u%n", 256, "09.007045600"},
        {CHighTime(2024, 3, 1, 0, 0, 0, 0, 5), "%u", 4, "005"},  // three digits fit a buffer of 4
        // "ab%s" fits a buffer of 5 but "ab123" does not: the token stays, and strftime's own
        // "%s" (seconds since 1970) is far too long, so the text is empty, never garbage.
        {CHighTime(2024, 3, 1, 0, 0, 0, 123), "ab%s", 5, ""},
        {CHighTime(2024, 3, 1, 0, 0, 0, 123), "ab%s", 6, "ab123"},
        {t, "abcdefghij", 5, "abcd"},  // a pattern longer than the buffer is cut
        {CHighTime(2023, 2, 29), "%x", 8, "Invalid"}};
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, c.pattern, c.size), c.expected) << c.pattern << " in " << c.size;
}

TEST(CHighTimeFormatTest, DateInTheGermanForm) {
    TimeLocale german("de_DE.UTF-8");
    if (!german.ok()) GTEST_SKIP() << "de_DE.UTF-8 cannot be set; run scripts/setup.sh";
    EXPECT_EQ(Format(CHighTime(2024, 3, 1, 7, 8, 9), "%x %H:%M"), "01.03.2024 07:08");
}

TEST(CHighTimeFormatTest, NullValuesAndBadArgumentsGiveNoText) {
    CHighTime null;
    null.status = HighTimeStatus::null;
    CHighTimeSpan span(1, 0, 0, 0), nullSpan = span;
    nullSpan.status = HighTimeStatus::null;
    const CHighTime valid(2024, 1, 1);
    char buffer[16] = "untouched";
    EXPECT_EQ(null.Format(buffer, sizeof buffer, "%x"), nullptr);
    EXPECT_EQ(valid.Format(buffer, 0, "%x"), nullptr);
    EXPECT_EQ(valid.Format(buffer, 16, nullptr), nullptr);
    EXPECT_EQ(span.Format(nullptr, 16, "%D"), nullptr);
    EXPECT_EQ(nullSpan.Format(buffer, sizeof buffer, "%D"), nullptr);
    EXPECT_STREQ(buffer, "untouched");
    span.status = HighTimeStatus::invalid;
    EXPECT_EQ(Format(span, "%D"), "Invalid datetime");
}

TEST(CHighTimeSpanFormatTest, WholeDaysAndPartsWithoutSign) {
    TimeLocale c("C");
    const CHighTimeSpan span(400, 5, 6, 7, 8, 9, 100);
    const struct {
        CHighTimeSpan value;
        const char* pattern;
        const char* expected;
    } cases[] = {{CHighTimeSpan(-1, 2, 0, 0), "%#D", "0"},  // minus 22 hours: no whole day
                 {CHighTimeSpan(-1, -2, 0, 0), "%#D|%D", "1|1"},
                 {span, "%D days %H:%M:%S.%s%u%n", "400 days 05:06:07.008009100"},
                 {span, "%#s %#u %#n", "8 9 100"},
                 {CHighTimeSpan(0, 0, 0, 0, -8, -9, -100), "%s %u %n", "008 009 100"}};
    for (const auto& c : cases) EXPECT_EQ(Format(c.value, c.pattern), c.expected) << c.pattern;
}

// ---- FindStr and ReplaceStr ----

TEST(CHighTimeFindStrTest, FindsTheFirstTokenAtOrAfterStart) {
    // At the end and beyond it, nothing is found.
    const std::pair<int, int> starts[] = {{0, 1}, {2, 4}, {5, -1}, {6, -1}, {7, -1}};
    for (auto [start, found] : starts) EXPECT_EQ(CHighTime::FindStr("a%sb%s", "%s", start), found);
    EXPECT_EQ(CHighTime::FindStr(nullptr, "%s", 0), -1);
}

TEST(CHighTimeReplaceStrTest, ReplacesEveryTokenOrNothing) {
    const struct {
        const char* text;
        int size;
        const char* token;
        const char* replacement;
        int count;
        const char* result;
    } cases[] = {{"a%sb%sc", 64, "%s", "123", 2, "a123b123c"},
                 {"a%sb%sc", 10, "%s", "123", 2, "a123b123c"},  // exactly fits
                 {"a%sb%sc", 9, "%s", "123", 0, "a%sb%sc"},     // one byte short
                 {"%long%x%long", 8, "%long", "1", 2, "1%x1"},  // shrinking needs no room
                 {"%s", 64, "%s", "", 1, ""},
                 // A replacement holding the token is not replaced again (it would run past the
                 // room measured for one replacement).
                 {"a", 3, "a", "aa", 1, "aa"},
                 {"xx", 64, "x", "%x", 2, "%x%x"},
                 {"abc", 64, "", "z", 0, "abc"},
                 {"%%s", 64, "%s", "007", 1, "%007"}};  // a token right after another '%' is one
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.size));
        char text[64];
        std::memset(text, '#', sizeof text);
        std::strcpy(text, c.text);
        EXPECT_EQ(CHighTime::ReplaceStr(text, c.size, c.token, c.replacement), c.count);
        EXPECT_STREQ(text, c.result);
        // Nothing is written beyond the size given.
        const int first = std::max(c.size, static_cast<int>(std::strlen(c.text)) + 1);
        for (int i = first; i < static_cast<int>(sizeof text); ++i) ASSERT_EQ(text[i], '#') << i;
    }
}
