#pragma once
// The platform's own date calls: a date-time record to seconds since 1904-01-01 00:00 (wall
// clock, no time zone), and seconds to the user's short date text. The short text follows the
// day, month and year order of the current LC_TIME locale, with one separator character between
// the numbers and always a four-digit year, so that every year survives a trip through text.
#include <cstdint>

struct DateTimeRec {
    int16_t year;
    int16_t month;      // 1-12
    int16_t day;        // 1-31
    int16_t hour;       // 0-23
    int16_t minute;     // 0-59
    int16_t second;     // 0-59
    int16_t dayOfWeek;  // 1 = Sunday; not read by DateToSeconds
};

// Seconds since 1904-01-01 00:00. 64 bits wide, so dates after 2040 and before 1904 keep their
// place (a 32-bit count would wrap). The fields are not range-checked: they are counted as given.
void DateToSeconds(const DateTimeRec* date, int64_t* seconds);
// The reverse of DateToSeconds; dayOfWeek is filled (1 = Sunday).
void SecondsToDate(int64_t seconds, DateTimeRec* date);

// The short date text of `seconds` as a length-prefixed text (at most 255 characters).
void DateString(int64_t seconds, unsigned char result[256]);

// The short date text of a calendar date into text (size bytes, terminated, cut to fit).
// Returns the length written.
int32_t ShortDateText(int32_t year, int32_t month, int32_t day, char* text, int32_t size);

// The order of the numbers in the short date text of the current LC_TIME locale, as three of
// the letters 'y', 'm', 'd' (e.g. "dmy"), and its separator character.
struct ShortDateOrder {
    char letters[4];
    char separator;
};
ShortDateOrder CurrentShortDateOrder();
