// The date text parser and the date-format choice on any text. Each line of the input is a date
// text; the last byte answers the choice (0 cancels, 1 to 3 pick that entry) and sizes the sample
// text's buffer. What must hold: a text parses under an order exactly when its three numbers make
// a date in that order, the candidates kept are those every text fitted, and the choice leaves
// either the candidates as they were or one of them.
#include <cstring>
#include <string>
#include <vector>

#include "Dates/DateFormatSelectionDialog.h"
#include "Dates/DateFromString.h"
#include "FuzzHost.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void CheckOneOrder(const std::string& text, DateFromString::DateFormat format) {
    CHighTime out(1999, 9, 9);
    const CHighTime sentinel = out;
    const int result = DateFromString::SetDateInFormat(text.c_str(), format, out);
    int32_t nums[3] = {0, 0, 0};
    const bool three = DateFromString::GetNumsFromDate(text.c_str(), nums) == 0;
    if (!three) {
        FUZZ_CHECK(result == DateFromString::kNotThreeNumbers);
        FUZZ_CHECK(Compare(out, sentinel) == 0);
        return;
    }
    // The numbers in the order's places.
    const char* letters = DateFromString::dateFmt[format];
    int32_t year = 0, month = 0, day = 0;
    for (int i = 0; i < 3; ++i) {
        if (letters[i] == 'y') year = nums[i];
        if (letters[i] == 'm') month = nums[i];
        if (letters[i] == 'd') day = nums[i];
    }
    if (year < 100) year += year > 69 ? 1900 : 2000;
    if (result == DateFromString::kDateOk) {
        FUZZ_CHECK(out.status == HighTimeStatus::valid);
        FUZZ_CHECK(out.GetYear() == year && out.GetMonth() == month && out.GetDay() == day);
        FUZZ_CHECK(out.GetHour() == 0 && out.GetMinute() == 0 && out.GetSecond() == 0);
    } else {
        FUZZ_CHECK(result == DateFromString::kNoValidDate);
        FUZZ_CHECK(out.status == HighTimeStatus::invalid);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4096) return 0;
    FuzzHost& host = FuzzHost::Get();
    const int last = data[size - 1];
    const std::string input(reinterpret_cast<const char*>(data), size - 1);

    std::vector<std::string> texts;
    for (size_t start = 0; start <= input.size();) {
        size_t end = input.find('\n', start);
        if (end == std::string::npos) end = input.size();
        // A C text ends at its first NUL.
        const std::string line = input.substr(start, end - start);
        texts.push_back(line.substr(0, line.find('\0')));
        start = end + 1;
    }

    DateFromString dates;
    for (const std::string& text : texts) {
        std::vector<DateFromString::DateFormat> expected;
        for (int i = 0; i < dates.GetCandidateCount(); ++i) {
            CHighTime out;
            if (DateFromString::SetDateInFormat(text.c_str(), dates.GetCandidate(i), out) ==
                DateFromString::kDateOk)
                expected.push_back(dates.GetCandidate(i));
        }
        CHighTime parsed;
        FUZZ_CHECK(dates.CheckDate(text.c_str(), parsed) == 0);
        FUZZ_CHECK(dates.GetCandidateCount() == static_cast<int>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i)
            FUZZ_CHECK(dates.GetCandidate(static_cast<int>(i)) == expected[i]);
        for (int f = DateFromString::YearMonthDay; f <= DateFromString::MonthDayYear; ++f)
            CheckOneOrder(text, static_cast<DateFromString::DateFormat>(f));

        // Separators cut to one, none at either end.
        char work[1024];
        std::snprintf(work, sizeof work, "%s", text.c_str());
        DateFromString::RemoveDummySeparators(work);
        const size_t length = std::strlen(work);
        for (size_t i = 0; i + 1 < length; ++i)
            FUZZ_CHECK(IsDigit(work[i]) || IsDigit(work[i + 1]));
        if (length > 0) FUZZ_CHECK(IsDigit(work[0]) && IsDigit(work[length - 1]));

        // The sample text of the parsed date fits the buffer it is given.
        char sample[17];
        const int sampleSize = last % 16 + 1;
        std::memset(sample, 'x', sizeof sample);
        DateFromString::Date2Str(sample, sampleSize, DateFromString::DayMonthYear, parsed);
        FUZZ_CHECK(std::memchr(sample, '\0', static_cast<size_t>(sampleSize)) != nullptr);
        FUZZ_CHECK(sample[sampleSize] == 'x');
    }

    // The choice among what is left.
    DateFromString::FormatChoice choices[3];
    const int count = dates.GetFormatChoices(choices);
    FUZZ_CHECK(count == dates.GetCandidateCount());
    for (int i = 0; i < count; ++i) {
        FUZZ_CHECK(choices[i].format == dates.GetCandidate(i));
        FUZZ_CHECK(std::memchr(choices[i].text, '\0', sizeof choices[i].text) != nullptr);
    }
    std::vector<DateFromString::DateFormat> offered;
    for (int i = 0; i < count; ++i) offered.push_back(dates.GetCandidate(i));
    const int answer = last % 4;
    host.dialogAnswer = answer == 0 ? std::vector<std::string>{"cancel"}
                                    : std::vector<std::string>{"4=" + std::to_string(answer), "ok"};
    const bool chosen = DateFormatSelectionDialog(dates).Show();
    if (chosen && answer <= count) {
        FUZZ_CHECK(dates.GetCandidateCount() == 1);
        FUZZ_CHECK(dates.GetCandidate(0) == offered[static_cast<size_t>(answer - 1)]);
    } else if (!chosen) {
        FUZZ_CHECK(dates.GetCandidateCount() == count);
        for (int i = 0; i < count; ++i) FUZZ_CHECK(dates.GetCandidate(i) == offered[i]);
    }
    return 0;
}
