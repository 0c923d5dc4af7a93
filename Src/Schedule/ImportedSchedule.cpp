#include "Schedule/ImportedSchedule.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "AddOn/OneLineText.h"
#include "Dates/CHighTime.h"
#include "IO/File.h"
#include "IO/Location.h"
#include "Schedule/ExchangeName.h"

namespace {

// Exactly `count` digits from text[pos] on, into value.
bool Digits(const std::string& text, size_t pos, int count, int& value) {
    if (pos + size_t(count) > text.size()) return false;
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[pos + size_t(i)];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// 00:00 of the moment's day; an invalid value when the day is not one the calendar has.
CHighTime DayOf(const ImportedSchedule::Moment& m) { return CHighTime(m.year, m.month, m.day); }

bool InYears(const ImportedSchedule::Moment& m) {
    return m.year >= ImportedSchedule::kFirstYear && m.year <= ImportedSchedule::kLastYear;
}

std::string MomentText(const ImportedSchedule::Moment& m) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", m.year, m.month, m.day, m.hour,
                  m.minute);
    return text;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A field as it may appear in a message: one line, not longer than a short sentence.
std::string Quoted(const std::string& text) {
    std::string shown;
    for (char c : text.substr(0, 40)) shown += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
    return text.size() > 40 ? shown + "..." : shown;
}

}  // namespace

bool ImportedSchedule::ParseMoment(const std::string& text, Moment& out) {
    // The year has four digits, as in every file these programs write.
    Moment m;
    if (!Digits(text, 0, 4, m.year) || text.size() < 10 || text[4] != '-' ||
        !Digits(text, 5, 2, m.month) || text[7] != '-' || !Digits(text, 8, 2, m.day))
        return false;
    if (text.size() > 10) {
        if ((text[10] != 'T' && text[10] != ' ') || !Digits(text, 11, 2, m.hour) ||
            text.size() < 16 || text[13] != ':' || !Digits(text, 14, 2, m.minute))
            return false;
        if (text.size() > 16 && text[16] == ':' && !Digits(text, 17, 2, m.second)) return false;
    }
    if (m.hour > 24 || m.minute > 59 || m.second > 60) return false;
    if (m.hour == 24 && (m.minute != 0 || m.second != 0)) return false;
    if (DayOf(m).status != HighTimeStatus::valid) return false;
    out = m;
    return true;
}

std::optional<double> ImportedSchedule::ParseDurationHours(const std::string& text) {
    // P[nY][nM][nD][T[nH][nM][nS]]; years and months are taken as 365 and 30 days.
    size_t pos = 0;
    if (text.empty() || (text[0] != 'P' && !(text[0] == '-' && text.size() > 1 && text[1] == 'P')))
        return std::nullopt;
    const bool negative = text[0] == '-';
    pos = negative ? 2 : 1;
    bool inTime = false, any = false;
    double hours = 0;
    while (pos < text.size()) {
        if (text[pos] == 'T') {
            if (inTime) return std::nullopt;
            inTime = true;
            ++pos;
            continue;
        }
        const char* begin = text.c_str() + pos;
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(begin, &end);
        if (end == begin || errno != 0 || !std::isfinite(value) || value < 0 || *end == '\0')
            return std::nullopt;
        if (!std::isdigit(static_cast<unsigned char>(*begin))) return std::nullopt;
        pos += size_t(end - begin);
        const char unit = text[pos++];
        if (!inTime && unit == 'Y')
            hours += value * 365 * 24;
        else if (!inTime && unit == 'M')
            hours += value * 30 * 24;
        else if (!inTime && unit == 'W')
            hours += value * 7 * 24;
        else if (!inTime && unit == 'D')
            hours += value * 24;
        else if (inTime && unit == 'H')
            hours += value;
        else if (inTime && unit == 'M')
            hours += value / 60;
        else if (inTime && unit == 'S')
            hours += value / 3600;
        else
            return std::nullopt;
        any = true;
    }
    if (!any || !std::isfinite(hours)) return std::nullopt;
    return negative ? -hours : hours;
}

bool ImportedSchedule::ReadFile(const char* path, std::string& bytes) {
    const IO::Location location(path != nullptr ? path : "");
    IO::File file(location, IO::File::Fail);
    uint64_t length = 0;
    if (!location.IsValid() || file.Open(IO::File::ReadMode) != IO::Err::NoError ||
        file.GetDataLength(&length) != IO::Err::NoError) {
        Refuse(CannotRead);
        return false;
    }
    if (length > uint64_t(kMaxFileMegabytes) * 1024 * 1024) {
        Refuse(TooLarge, std::to_string(kMaxFileMegabytes));
        return false;
    }
    bytes.resize(size_t(length));
    int32_t read = 0;
    if (length > 0 && (file.ReadBin(bytes.data(), int32_t(length), &read) != IO::Err::NoError ||
                       uint64_t(read) != length)) {
        bytes.clear();
        Refuse(CannotRead);
        return false;
    }
    file.Close();
    return true;
}

bool ImportedSchedule::AddTask(const std::string& idText, const std::string& name,
                               const std::string& typeWord, const std::optional<Moment>& start,
                               const std::optional<Moment>& finish,
                               std::optional<double> durationHours) {
    // The ID: a whole number that fits, 1 or more.
    char* end = nullptr;
    errno = 0;
    const long long id = std::strtoll(idText.c_str(), &end, 10);
    const bool number = !idText.empty() && end == idText.c_str() + idText.size() &&
                        std::isdigit(static_cast<unsigned char>(idText[0])) && errno == 0;
    if (!number || id < 1 || id > INT32_MAX) {
        Refuse(IdOutOfRange, Quoted(idText));
        return false;
    }
    if (tasks.size() >= kMaxTasks) {
        Refuse(TooMany, std::to_string(kMaxTasks));
        return false;
    }
    TASK task;
    task.uniqueID = static_cast<int32_t>(id);
    if (!ids.insert(task.uniqueID).second) {
        Refuse(DuplicateId, idText);
        return false;
    }

    // Cleaned before trimming, so that a control character at either end goes the way of the
    // space it becomes, and trimmed again behind the type prefix: the name then reads back the
    // same from every file it is written to.
    std::string plain = Trimmed(OneLineText::Of(name));
    int type = ExchangeName::SplitTypePrefix(plain);
    plain = Trimmed(plain);
    if (type < 0) type = ExchangeName::TypeOfWord(typeWord);
    task.type = static_cast<TASKTYPE>(type < 0 ? Build : type);
    if (ExchangeName::CopyToTask(plain, task) && namesCut++ == 0) firstCutName = task.name;

    // Whole days: the first day is the start's; the last is the finish's, or the day before
    // when the task finishes at 00:00 (it stopped at the end of that day).
    if (!start && !finish) {
        Refuse(NoDates, idText);
        return false;
    }
    for (const auto* m : {&start, &finish})
        if (*m && !InYears(**m)) {
            Refuse(DateOutOfRange, idText + " (" + MomentText(**m) + ")");
            return false;
        }
    const CHighTime first = DayOf(start ? *start : *finish);
    CHighTime last = first;
    if (finish) {
        last = DayOf(*finish);
        const bool atMidnight = finish->hour == 0 && finish->minute == 0 && finish->second == 0;
        if (finish->hour == 24)
            last += CHighTimeSpan(1, 0, 0, 0);
        else if (atMidnight && last.ticks > first.ticks)
            last = last - CHighTimeSpan(1, 0, 0, 0);
    } else if (durationHours && *durationHours > 0) {
        // A length without a finish counts in working days of kHoursPerDay hours.
        const double days = std::ceil(*durationHours / kHoursPerDay);
        if (days > double(kLastYear - kFirstYear + 1) * 366) {
            Refuse(DateOutOfRange, idText);
            return false;
        }
        last += CHighTimeSpan(static_cast<int32_t>(days) - 1, 0, 0, 0);
    }
    if (last.ticks < first.ticks) last = first;  // a finish before the start: one day
    if (last.status != HighTimeStatus::valid || last.GetYear() > kLastYear) {
        Refuse(DateOutOfRange, idText);
        return false;
    }
    task.start = first;
    task.end = last;
    task.end.SetToMidnight24();
    tasks.push_back(task);
    return true;
}

void ImportedSchedule::Refuse(Refusal why, const std::string& what) {
    if (Refused()) return;  // the first reason is the one said
    refusal = why;
    detail = what;
    tasks.clear();
}
