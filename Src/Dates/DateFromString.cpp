#include "Dates/DateFromString.h"

#include <cstdio>
#include <cstring>
#include <limits>

#include "AddOn/ResUtils.h"
#include "AddOn/ResourceIds.h"
#include "CH.h"

const char* const DateFromString::dateFmt[3] = {"ymd", "dmy", "mdy"};
char DateFromString::dateTemplate[1024] = "";

namespace {

constexpr char kDefaultTemplate[] = "%02d/%02d/%02d";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading digits of text as a number, held at the 32-bit limit.
int32_t LeadingNumber(const char* text) {
    int64_t value = 0;
    for (const char* p = text; IsDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

// True when pattern prints exactly three integers: three conversions "%[flags][width]d" and no
// other conversion than "%%". Anything else from a resource file would read arguments that are
// not there.
bool IsThreeIntegerPattern(const char* pattern) {
    int integers = 0;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p != '\0' && std::strchr("-+ 0#", *p) != nullptr) ++p;
        while (IsDigit(*p)) ++p;
        if (*p != 'd' && *p != 'i') return false;
        ++integers;
    }
    return integers == 3;
}

}  // namespace

void DateFromString::LoadTemplate() {
    char text[ResUtils::kStringBufferSize];
    ResUtils::LoadResourceString(text, ResId::DateOrderSample, 1);
    const char* chosen = IsThreeIntegerPattern(text) ? text : kDefaultTemplate;
    CHTruncate(chosen, dateTemplate, sizeof dateTemplate);
}

DateFromString::DateFromString()
    : candidates{YearMonthDay, DayMonthYear, MonthDayYear}, candidateCount(3) {
    if (dateTemplate[0] == '\0') LoadTemplate();
}

char* DateFromString::CutChar(char* text, char* at) {
    if (text == nullptr || at == nullptr) return text;
    const size_t length = std::strlen(text);
    if (at >= text && at < text + length) std::memmove(at, at + 1, length - (at - text));
    return text;
}

void DateFromString::RemoveDummySeparators(char* text) {
    if (text == nullptr) return;
    // Keep the first non-digit of every run of them.
    char* out = text;
    bool previousNonDigit = false;
    for (const char* in = text; *in != '\0'; ++in) {
        const bool nonDigit = !IsDigit(*in);
        if (!(nonDigit && previousNonDigit)) *out++ = *in;
        previousNonDigit = nonDigit;
    }
    *out = '\0';
    if (text[0] == '\0') return;
    const size_t length = static_cast<size_t>(out - text);
    if (!IsDigit(text[length - 1])) CutChar(text, text + length - 1);
    if (!IsDigit(text[0])) CutChar(text, text);
}

int DateFromString::GetNumsFromDate(const char* text, int32_t nums[3]) {
    if (text == nullptr || nums == nullptr) return 1;
    char work[1024];
    std::snprintf(work, sizeof work, "%s", text);
    RemoveDummySeparators(work);
    const char* separator1 = work;
    while (*separator1 != '\0' && IsDigit(*separator1)) ++separator1;
    if (*separator1 == '\0') return 1;
    const char* separator2 = separator1 + 1;
    while (*separator2 != '\0' && IsDigit(*separator2)) ++separator2;
    if (*separator2 == '\0') return 1;
    nums[0] = LeadingNumber(work);
    nums[1] = LeadingNumber(separator1 + 1);
    // Only the leading digits count after the second separator; more numbers there are ignored.
    nums[2] = LeadingNumber(separator2 + 1);
    return 0;
}

int DateFromString::SetDateInFormat(const char* text, DateFormat format, CHighTime& out) {
    int32_t nums[3];
    if (GetNumsFromDate(text, nums) != 0) return kNotThreeNumbers;
    if (format < YearMonthDay || format > MonthDayYear) {
        out.status = HighTimeStatus::invalid;
        return kNoValidDate;
    }
    int32_t year = 0, month = 0, day = 0;
    const char* letters = dateFmt[format];
    for (int i = 0; i < 3; ++i) {
        switch (letters[i]) {
            case 'y':
                year = nums[i];
                break;
            case 'm':
                month = nums[i];
                break;
            default:
                day = nums[i];
                break;
        }
    }
    // Two-digit years: 70-99 are the 1900s, 00-69 the 2000s. A year written with more digits is
    // taken as written.
    if (year < 100) year += year > 69 ? 1900 : 2000;
    out.SetDateTime(year, month, day, 0, 0, 0, 0, 0, 0);
    return out.status == HighTimeStatus::valid ? kDateOk : kNoValidDate;
}

int DateFromString::CheckDate(const char* text, CHighTime& out) {
    int kept = 0;
    for (int i = 0; i < candidateCount; ++i)
        if (SetDateInFormat(text, candidates[i], out) == kDateOk)
            candidates[kept++] = candidates[i];
    candidateCount = kept;
    return 0;
}

char* DateFromString::Date2Str(char* dst, int dstSize, DateFormat format, const CHighTime& date) {
    if (dst == nullptr || dstSize <= 0) return dst;
    if (dateTemplate[0] == '\0') LoadTemplate();
    int values[3] = {0, 0, 0};
    const char* letters = dateFmt[format >= YearMonthDay && format <= MonthDayYear ? format : 0];
    for (int i = 0; i < 3; ++i) {
        switch (letters[i]) {
            case 'm':
                values[i] = date.GetMonth();
                break;
            case 'y':
                values[i] = date.GetYear() % 1000;
                break;
            default:
                values[i] = date.GetDay();
                break;
        }
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    // dateTemplate holds exactly three integer conversions (checked when it was loaded).
    std::snprintf(dst, static_cast<size_t>(dstSize), dateTemplate, values[0], values[1], values[2]);
#pragma GCC diagnostic pop
    return dst;
}

void DateFromString::SelectDateFormat(DateFormat format) {
    candidates[0] = format;
    candidateCount = 1;
}

int DateFromString::GetFormatChoices(FormatChoice choices[3]) const {
    // Day 31 cannot be a month and the year shows as 0, so the three orders look different.
    const CHighTime sample(2000, 1, 31, 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < candidateCount; ++i) {
        choices[i].format = candidates[i];
        Date2Str(choices[i].text, sizeof choices[i].text, candidates[i], sample);
    }
    return candidateCount;
}
