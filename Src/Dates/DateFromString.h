#pragma once
// Reads date texts whose order of day, month and year is not known in advance (an exchanged text
// file is written in the short date form of whatever computer wrote it). It keeps the orders still
// possible, drops an order as soon as one text is no date under it, and parses by what remains.
#include <cstdint>

#include "Dates/CHighTime.h"

class DateFromString {
public:
    enum DateFormat : int32_t { YearMonthDay = 0, DayMonthYear = 1, MonthDayYear = 2 };

    // Letters of each order: "ymd", "dmy", "mdy".
    static const char* const dateFmt[3];
    // Print pattern of three integers that shows a date in a given order (string 1 of
    // ResId::DateOrderSample); loaded by the first object made while it is empty. A text that is
    // not a pattern of exactly three integers gives way to a built-in one.
    static char dateTemplate[1024];

    // Result codes of SetDateInFormat.
    static constexpr int kDateOk = 0;
    static constexpr int kNotThreeNumbers = 1;
    static constexpr int kNoValidDate = 3;

    // Candidates: YearMonthDay, DayMonthYear, MonthDayYear.
    DateFromString();

    // Drops every candidate under which text is no valid date, and parses it. out holds the value
    // of the last candidate tried that found three numbers. Always 0.
    int CheckDate(const char* text, CHighTime& out);
    // kDateOk: out is the date at 00:00; kNotThreeNumbers: out untouched; kNoValidDate: out is
    // invalid. Years below 100 are widened: 70-99 to 1970-1999, 0-69 to 2000-2069.
    static int SetDateInFormat(const char* text, DateFormat format, CHighTime& out);
    // 0 when text holds three numbers (any single non-digit separates them), else 1. A number too
    // long for 32 bits is held at 2 147 483 647.
    static int GetNumsFromDate(const char* text, int32_t nums[3]);
    // Cuts every run of non-digits to its first character, then drops a non-digit at the end and
    // one at the start.
    static void RemoveDummySeparators(char* text);
    // Removes the character at `at` when it lies within text; returns text.
    static char* CutChar(char* text, char* at);
    // The sample text of date in that order (month, year modulo 1000, day by its letters), cut to
    // dstSize bytes. Returns dst.
    static char* Date2Str(char* dst, int dstSize, DateFormat format, const CHighTime& date);
    // The candidates become exactly that order.
    void SelectDateFormat(DateFormat format);

    int GetCandidateCount() const { return candidateCount; }
    DateFormat GetCandidate(int index) const { return candidates[index]; }

    // What the date-format choice offers: one pop-up item per candidate, in candidate order, with
    // the sample 31 January 2000 in that order as its text and the order as its user data. The
    // choice confirmed goes to SelectDateFormat.
    struct FormatChoice {
        DateFormat format;
        char text[64];
    };
    int GetFormatChoices(FormatChoice choices[3]) const;

private:
    static void LoadTemplate();

    DateFormat candidates[3];
    int candidateCount = 0;
};
