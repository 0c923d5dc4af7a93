// Reading date texts of unknown order: which orders a text allows and what it reads as.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Dates/DateFromString.h"
#include "Src/AddOn/ShellFixture.h"

namespace {

using F = DateFromString::DateFormat;

std::vector<F> Candidates(const DateFromString& parser) {
    std::vector<F> out;
    for (int i = 0; i < parser.GetCandidateCount(); ++i) out.push_back(parser.GetCandidate(i));
    return out;
}

struct Ymd {
    int y, m, d;
};

void ExpectDate(const CHighTime& t, Ymd date, const std::string& what) {
    EXPECT_EQ(t.status, HighTimeStatus::valid) << what;
    EXPECT_EQ(t.ticks, CHighTime(date.y, date.m, date.d).ticks)
        << what << ": got " << t.GetYear() << "-" << t.GetMonth() << "-" << t.GetDay();
}

class DateFromStringTest : public ::testing::Test {
protected:
    void SetUp() override { std::strcpy(DateFromString::dateTemplate, "%02d/%02d/%02d"); }
};

}  // namespace

// ---- Which orders a text allows ----

TEST_F(DateFromStringTest, KeepsExactlyTheOrdersUnderWhichTheTextIsADate) {
    const struct {
        const char* text;
        std::vector<F> remaining;
    } cases[] = {{"31/12/03", {F::YearMonthDay, F::DayMonthYear}},
                 {"2003-12-31", {F::YearMonthDay}},
                 {"12/31/2003", {F::MonthDayYear}},
                 {"29/02/2024", {F::DayMonthYear}},
                 {"29/02/2023", {}},
                 {"", {}},
                 {"12 May 2003", {}},
                 {"31/31/31", {}}};
    for (const auto& c : cases) {
        DateFromString parser;
        CHighTime out;
        EXPECT_EQ(parser.CheckDate(c.text, out), 0);
        EXPECT_EQ(Candidates(parser), c.remaining) << c.text;
    }
}

TEST_F(DateFromStringTest, CandidatesNarrowOverAFileOfDatesTheLastTriedWritesTheValue) {
    DateFromString parser;
    CHighTime out;
    parser.CheckDate("05/06/07", out);
    EXPECT_EQ(parser.GetCandidateCount(), 3);
    parser.CheckDate("13/06/07", out);  // 13 cannot be a month: month-day-year goes
    EXPECT_EQ(Candidates(parser), (std::vector<F>{F::YearMonthDay, F::DayMonthYear}));
    parser.CheckDate("31/12/2007", out);
    EXPECT_EQ(Candidates(parser), (std::vector<F>{F::DayMonthYear}));
    ExpectDate(out, {2007, 12, 31}, "the last text by the order left");
    parser.CheckDate("2007-12-31", out);
    EXPECT_EQ(parser.GetCandidateCount(), 0);

    DateFromString chosen;
    chosen.SelectDateFormat(F::MonthDayYear);
    EXPECT_EQ(Candidates(chosen), (std::vector<F>{F::MonthDayYear}));
    chosen.CheckDate("12/05/03", out);
    ExpectDate(out, {2003, 12, 5}, "12/05/03 as month-day-year");
}

// ---- Reading one text in one order ----

TEST_F(DateFromStringTest, ReadsTheNumbersByTheOrdersLetters) {
    const struct {
        const char* text;
        F format;
        int result;
        Ymd date;
    } cases[] = {{"31/12/03", F::YearMonthDay, 0, {2031, 12, 3}},
                 {"31/12/03", F::DayMonthYear, 0, {2003, 12, 31}},
                 {"31/12/03", F::MonthDayYear, 3, {}},
                 {"1/2/70", F::DayMonthYear, 0, {1970, 2, 1}},
                 {"1/2/69", F::DayMonthYear, 0, {2069, 2, 1}},
                 // A year written with three or four digits is taken as written.
                 {"1/2/1850", F::DayMonthYear, 0, {1850, 2, 1}},
                 {"1/2/100", F::DayMonthYear, 0, {100, 2, 1}},
                 {"1/2/1850", F::YearMonthDay, 3, {}},  // day 1850
                 {"--12//05..2003--", F::DayMonthYear, 0, {2003, 5, 12}},
                 {"2003-05-12 10:30", F::YearMonthDay, 0, {2003, 5, 12}},
                 {"1/2/3/4", F::DayMonthYear, 0, {2003, 2, 1}},  // the first three numbers
                 {"7/8/9x", F::DayMonthYear, 0, {2009, 8, 7}},
                 {"12/", F::DayMonthYear, 1, {}},
                 {"4294967296/1/1", F::YearMonthDay, 3, {}},  // held at the largest number
                 {"12 May 2003", F::DayMonthYear, 1, {}},
                 {"1/1/99999999999999999999", F::DayMonthYear, 3, {}}};
    for (const auto& c : cases) {
        CHighTime out(1999, 9, 9);
        const int64_t before = out.ticks;
        EXPECT_EQ(DateFromString::SetDateInFormat(c.text, c.format, out), c.result) << c.text;
        if (c.result == DateFromString::kDateOk) ExpectDate(out, c.date, c.text);
        if (c.result == DateFromString::kNoValidDate) {
            EXPECT_EQ(out.status, HighTimeStatus::invalid) << c.text;
        }
        if (c.result == DateFromString::kNotThreeNumbers) {
            EXPECT_EQ(out.status, HighTimeStatus::valid) << c.text << ": untouched";
            EXPECT_EQ(out.ticks, before) << c.text;
        }
    }
    CHighTime out;
    EXPECT_EQ(DateFromString::SetDateInFormat(nullptr, F::DayMonthYear, out), 1);
}

// The pattern comes from the add-on's resource file when the first parser is made.
using DateFromStringResourceTest = HostedAddOnTest;

TEST_F(DateFromStringResourceTest, TheSamplePatternIsLoadedFromTheResources) {
    DateFromString::dateTemplate[0] = '\0';
    DateFromString parser;
    char text[32];
    DateFromString::Date2Str(text, sizeof text, F::DayMonthYear, CHighTime(2000, 1, 31));
    // Three numbers in the order asked for: day, month, year modulo 1000.
    int a = -1, b = -1, c = -1;
    char s1 = 0, s2 = 0;
    ASSERT_EQ(std::sscanf(text, "%d%c%d%c%d", &a, &s1, &b, &s2, &c), 5) << text;
    EXPECT_EQ(a, 31);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, 0);
}
