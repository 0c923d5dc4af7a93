// Pattern formatting of dates and spans, and the token routines under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <string>

#include "CHighTime.h"
#include "Platform/TimeLocale.h"

namespace {

std::string Format(const CHighTime& t, const char* pattern, int size = 256) {
    char buffer[256];
    const char* result = t.Format(buffer, size, pattern);
    return result != nullptr ? std::string(result) : std::string("<null>");
}

std::string Format(const CHighTimeSpan& s, const char* pattern, int size = 256) {
    char buffer[256];
    const char* result = s.Format(buffer, size, pattern);
    return result != nullptr ? std::string(result) : std::string("<null>");
}

}  // namespace

// ---- CHighTime::Format ----

TEST(CHighTimeFormatTest, DateAndTimeInTheLocalesForm) {
    const CHighTime t(2024, 3, 1, 7, 8, 9);
    {
        TimeLocale c("C");
        EXPECT_EQ(Format(t, "%x %H:%M"), "03/01/24 07:08");
        EXPECT_EQ(Format(t, "%A %j %Y"), "Friday 061 2024");
    }
    TimeLocale german("de_DE.UTF-8");
    if (!german.ok()) GTEST_SKIP() << "de_DE.UTF-8 cannot be set; run scripts/setup.sh";
    EXPECT_EQ(Format(t, "%x %H:%M"), "01.03.2024 07:08");
}

TEST(CHighTimeFormatTest, SubSecondTokensComeBeforeStrftime) {
    TimeLocale c("C");
    const CHighTime t(2024, 3, 1, 7, 8, 9, 7, 45, 600);
    EXPECT_EQ(Format(t, "%s"), "007");
    EXPECT_EQ(Format(t, "%#s"), "7");
    EXPECT_EQ(Format(t, "[%#s]"), "[7]");
    EXPECT_EQ(Format(t, "%S.%s%u%n"), "09.007045600");
    EXPECT_EQ(Format(t, "%#u %#n"), "45 600");
}

TEST(CHighTimeFormatTest, ThreeDigitsFitABufferOfFour) {
    const CHighTime t(2024, 3, 1, 0, 0, 0, 0, 5);
    EXPECT_EQ(Format(t, "%u", 4), "005");
}

TEST(CHighTimeFormatTest, ATokenThatDoesNotFitIsLeftToStrftime) {
    TimeLocale c("C");
    const CHighTime t(2024, 3, 1, 0, 0, 0, 123);
    // "ab%s" fits a buffer of 5 but "ab123" does not: the token stays, and strftime's own "%s"
    // (seconds since 1970) is far too long, so the text is empty, never garbage.
    EXPECT_EQ(Format(t, "ab%s", 5), "");
    EXPECT_EQ(Format(t, "ab%s", 6), "ab123");
}

TEST(CHighTimeFormatTest, UnusableValuesAndArguments) {
    CHighTime invalid(2023, 2, 29);
    EXPECT_EQ(Format(invalid, "%x"), "Invalid datetime");
    EXPECT_EQ(Format(invalid, "%x", 8), "Invalid");

    CHighTime null;
    null.status = HighTimeStatus::null;
    char buffer[16] = "untouched";
    EXPECT_EQ(null.Format(buffer, sizeof buffer, "%x"), nullptr);
    EXPECT_STREQ(buffer, "untouched");
    const CHighTime valid(2024, 1, 1);
    EXPECT_EQ(valid.Format(buffer, 0, "%x"), nullptr);
    EXPECT_EQ(valid.Format(nullptr, 16, "%x"), nullptr);
    EXPECT_EQ(valid.Format(buffer, 16, nullptr), nullptr);
    EXPECT_STREQ(buffer, "untouched");
}

TEST(CHighTimeFormatTest, APatternLongerThanTheBufferIsCut) {
    const CHighTime t(2024, 1, 1);
    EXPECT_EQ(Format(t, "abcdefghij", 5), "abcd");
}

// ---- CHighTimeSpan::Format ----

TEST(CHighTimeSpanFormatTest, WholeDaysAndPartsWithoutSign) {
    TimeLocale c("C");
    const CHighTimeSpan negative(-1, 2, 0, 0);  // minus 22 hours: no whole day
    EXPECT_EQ(Format(negative, "%#D"), "0");
    const CHighTimeSpan minusOneDayTwoHours(-1, -2, 0, 0);
    EXPECT_EQ(Format(minusOneDayTwoHours, "%#D|%D"), "1|1");
    const CHighTimeSpan span(400, 5, 6, 7, 8, 9, 100);
    EXPECT_EQ(Format(span, "%D days %H:%M:%S.%s%u%n"), "400 days 05:06:07.008009100");
    EXPECT_EQ(Format(span, "%#s %#u %#n"), "8 9 100");
    const CHighTimeSpan backwards(0, 0, 0, 0, -8, -9, -100);
    EXPECT_EQ(Format(backwards, "%s %u %n"), "008 009 100");
}

TEST(CHighTimeSpanFormatTest, UnusableValuesAndArguments) {
    CHighTimeSpan span(1, 0, 0, 0);
    char buffer[32] = "untouched";
    EXPECT_EQ(span.Format(buffer, sizeof buffer, nullptr), nullptr);
    EXPECT_EQ(span.Format(nullptr, 32, "%D"), nullptr);
    span.status = HighTimeStatus::null;
    EXPECT_EQ(span.Format(buffer, sizeof buffer, "%D"), nullptr);
    EXPECT_STREQ(buffer, "untouched");
    span.status = HighTimeStatus::invalid;
    EXPECT_EQ(Format(span, "%D"), "Invalid datetime");
}

// ---- FindStr and ReplaceStr ----

TEST(CHighTimeFindStrTest, FindsTheFirstTokenAtOrAfterStart) {
    EXPECT_EQ(CHighTime::FindStr("a%sb%s", "%s", 0), 1);
    EXPECT_EQ(CHighTime::FindStr("a%sb%s", "%s", 2), 4);
    EXPECT_EQ(CHighTime::FindStr("a%sb%s", "%s", 5), -1);
    EXPECT_EQ(CHighTime::FindStr("a%sb%s", "%s", 6), -1);  // at the end
    EXPECT_EQ(CHighTime::FindStr("a%sb%s", "%s", 7), -1);  // beyond it
    EXPECT_EQ(CHighTime::FindStr("abc", "%s", 0), -1);
    EXPECT_EQ(CHighTime::FindStr(nullptr, "%s", 0), -1);
}

struct ReplaceCase {
    const char* text;
    int size;
    const char* token;
    const char* replacement;
    int count;
    const char* result;
};

class CHighTimeReplaceStrTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(CHighTimeReplaceStrTest, ReplacesEveryTokenOrNothing) {
    const ReplaceCase c = GetParam();
    char text[64];
    std::memset(text, '#', sizeof text);
    std::strcpy(text, c.text);
    EXPECT_EQ(CHighTime::ReplaceStr(text, c.size, c.token, c.replacement), c.count);
    EXPECT_STREQ(text, c.result);
    // Nothing is written beyond the size given.
    const int first = std::max(c.size, static_cast<int>(std::strlen(c.text)) + 1);
    for (int i = first; i < static_cast<int>(sizeof text); ++i) {
        ASSERT_EQ(text[i], '#') << "byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    GrowShrinkAndOverflow, CHighTimeReplaceStrTest,
    ::testing::Values(
        ReplaceCase{"a%sb%sc", 64, "%s", "123", 2, "a123b123c"},
        ReplaceCase{"a%sb%sc", 10, "%s", "123", 2, "a123b123c"},  // exactly fits
        ReplaceCase{"a%sb%sc", 9, "%s", "123", 0, "a%sb%sc"},     // one byte short
        ReplaceCase{"%long%x%long", 8, "%long", "1", 2, "1%x1"},  // shrinking needs no room
        ReplaceCase{"abc", 64, "%s", "1", 0, "abc"}, ReplaceCase{"%s", 64, "%s", "", 1, ""},
        // A replacement holding the token is not replaced again (it would run past the room
        // measured for one replacement).
        ReplaceCase{"a", 3, "a", "aa", 1, "aa"}, ReplaceCase{"xx", 64, "x", "%x", 2, "%x%x"},
        ReplaceCase{"aaa", 64, "aa", "b", 1, "ba"}, ReplaceCase{"abc", 64, "", "z", 0, "abc"},
        // A token right after another '%' is still a token.
        ReplaceCase{"%%s", 64, "%s", "007", 1, "%007"}));
