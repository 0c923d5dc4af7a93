#include "PlatformDate.h"

#include <langinfo.h>

#include <cstdio>
#include <cstring>

#include "CH.h"
#include "CivilDays.h"

namespace {

constexpr int64_t kSecondsPerDay = 86'400;

constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// 1904-01-01 in days from 1970-01-01.
constexpr int64_t kDays1904 = -24'107;
static_assert(DaysFromCivil(1904, 1, 1) == kDays1904, "1904-01-01 on the day count");

char LetterOf(char conversion) {
    switch (conversion) {
        case 'd':
        case 'e':
            return 'd';
        case 'm':
        case 'b':
        case 'B':
        case 'h':
            return 'm';
        case 'y':
        case 'Y':
        case 'G':
        case 'g':
            return 'y';
        default:
            return '\0';
    }
}

}  // namespace

void DateToSeconds(const DateTimeRec* date, int64_t* seconds) {
    if (date == nullptr || seconds == nullptr) return;
    const int64_t days = DaysFromCivil(date->year, date->month, date->day) - kDays1904;
    *seconds = days * kSecondsPerDay + int64_t{date->hour} * 3600 + int64_t{date->minute} * 60 +
               date->second;
}

void SecondsToDate(int64_t seconds, DateTimeRec* date) {
    if (date == nullptr) return;
    const int64_t days = FloorDiv(seconds, kSecondsPerDay);
    const int64_t sod = seconds - days * kSecondsPerDay;  // [0, 86399]
    const CivilDate c = CivilFromDays(days + kDays1904);
    date->year = static_cast<int16_t>(c.year);
    date->month = static_cast<int16_t>(c.month);
    date->day = static_cast<int16_t>(c.day);
    date->hour = static_cast<int16_t>(sod / 3600);
    date->minute = static_cast<int16_t>(sod / 60 % 60);
    date->second = static_cast<int16_t>(sod % 60);
    // 1904-01-01 was a Friday (6).
    date->dayOfWeek = static_cast<int16_t>((days % 7 + 7 + 5) % 7 + 1);
}

ShortDateOrder CurrentShortDateOrder() {
    const ShortDateOrder fallback{{'m', 'd', 'y', '\0'}, '/'};
    const char* fmt = nl_langinfo(D_FMT);
    if (fmt == nullptr) return fallback;
    ShortDateOrder order{{'\0', '\0', '\0', '\0'}, '/'};
    int count = 0;
    const char* afterFirst = nullptr;  // the text right after the first number's conversion
    for (const char* p = fmt; *p != '\0' && count < 3; ++p) {
        if (*p != '%') continue;
        const char* percent = p;
        const char* conv = p + 1;
        // Flags, widths and the E/O modifiers do not change which number it is.
        while (*conv != '\0' && std::strchr("_-0^#EO123456789", *conv) != nullptr) ++conv;
        if (*conv == '\0') break;
        p = conv;
        if (*conv == 'D') return fallback;
        if (*conv == 'F') return {{'y', 'm', 'd', '\0'}, '-'};
        const char letter = LetterOf(*conv);
        if (letter == '\0' || std::strchr(order.letters, letter) != nullptr) continue;
        order.letters[count++] = letter;
        if (count == 1) afterFirst = conv + 1;
        // One plain character between the first two numbers is the separator; anything longer
        // (a word, a multi-byte sign) gives way to '/'.
        if (count == 2 && percent - afterFirst == 1) {
            const unsigned char c = static_cast<unsigned char>(*afterFirst);
            if (c < 0x80 && (c < '0' || c > '9')) order.separator = static_cast<char>(c);
        }
    }
    return count == 3 ? order : fallback;
}

int32_t ShortDateText(int32_t year, int32_t month, int32_t day, char* text, int32_t size) {
    if (text == nullptr || size <= 0) return 0;
    const ShortDateOrder order = CurrentShortDateOrder();
    char parts[3][16];
    for (int i = 0; i < 3; ++i) {
        switch (order.letters[i]) {
            case 'y':
                if (year < 0)
                    std::snprintf(parts[i], sizeof parts[i], "-%04d", -year);
                else
                    std::snprintf(parts[i], sizeof parts[i], "%04d", year);
                break;
            case 'm':
                std::snprintf(parts[i], sizeof parts[i], "%02d", month);
                break;
            default:
                std::snprintf(parts[i], sizeof parts[i], "%02d", day);
                break;
        }
    }
    const int n = std::snprintf(text, static_cast<size_t>(size), "%s%c%s%c%s", parts[0],
                                order.separator, parts[1], order.separator, parts[2]);
    if (n < 0) {
        text[0] = '\0';
        return 0;
    }
    return n < size ? n : size - 1;
}

void DateString(int64_t seconds, unsigned char result[256]) {
    if (result == nullptr) return;
    DateTimeRec date{};
    SecondsToDate(seconds, &date);
    char* text = reinterpret_cast<char*>(result);
    ShortDateText(date.year, date.month, date.day, text, 256);
    CHc2pascal(text);
}
