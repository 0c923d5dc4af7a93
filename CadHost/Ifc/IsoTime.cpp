#include "Ifc/IsoTime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "CivilDays.h"

namespace CadHost {
namespace {

constexpr int64_t kSecondsPerDay = 86'400;
// Any part of a duration beyond this many units takes the date past year 9999 anyway; the limit
// keeps the arithmetic far from overflow.
constexpr double kMaxPart = 1e8;

bool Digits(std::string_view text, size_t at, size_t count, int32_t& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

int32_t DaysInMonth(int64_t year, int32_t month) {
    return static_cast<int32_t>(DaysFromCivil(year, month + 1, 1) - DaysFromCivil(year, month, 1));
}

bool ValidDate(const PlanDateTime& t) {
    return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

int64_t SecondsOf(const PlanDateTime& t) {
    return DaysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600 + t.minute * 60 +
           t.second;
}

PlanDateTime FromSeconds(int64_t seconds) {
    const int64_t days = seconds >= 0 ? seconds / kSecondsPerDay
                                      : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
    const int64_t rest = seconds - days * kSecondsPerDay;  // [0, 86399]
    const CivilDate d = CivilFromDays(days);
    PlanDateTime t;
    t.year = static_cast<int32_t>(std::clamp<int64_t>(d.year, INT32_MIN, INT32_MAX));
    t.month = d.month;
    t.day = d.day;
    t.hour = static_cast<int32_t>(rest / 3600);
    t.minute = static_cast<int32_t>(rest / 60 % 60);
    t.second = static_cast<int32_t>(rest % 60);
    return t;
}

// One number of a duration: digits with an optional fraction after '.' or ',' (worked out here,
// not by the C library, whose reading of numbers follows the locale).
bool Number(std::string_view text, size_t& at, double& value, bool& fraction) {
    const size_t begin = at;
    value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at++] - '0');
        if (value > kMaxPart) return false;
    }
    if (at == begin) return false;
    fraction = false;
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        fraction = true;
        const size_t first = ++at;
        double scale = 0.1;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value += (text[at++] - '0') * scale;
            scale /= 10;
        }
        if (at == first) return false;
    }
    return true;
}

}  // namespace

bool IsoTime::ParseDateTime(std::string_view text, PlanDateTime& out) {
    PlanDateTime t;
    if (text.size() < 10 || !Digits(text, 0, 4, t.year) || text[4] != '-' ||
        !Digits(text, 5, 2, t.month) || text[7] != '-' || !Digits(text, 8, 2, t.day))
        return false;
    size_t at = 10;
    if (at < text.size() && text[at] == 'T') {
        if (!Digits(text, at + 1, 2, t.hour) || at + 3 >= text.size() || text[at + 3] != ':' ||
            !Digits(text, at + 4, 2, t.minute))
            return false;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            if (!Digits(text, at + 1, 2, t.second)) return false;
            at += 3;
            if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
                const size_t first = ++at;
                while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
                if (at == first) return false;
            }
        }
        // 24:00:00 is the end of the day, the next day's 00:00.
        if (t.hour == 24 && t.minute == 0 && t.second == 0) {
            t.hour = 23;
            t.minute = 59;
            t.second = 59;
            if (!ValidDate(t)) return false;
            t = FromSeconds(SecondsOf(t) + 1);
        }
    }
    if (at < text.size()) {
        int32_t zh = 0, zm = 0;
        if (text[at] == 'Z')
            ++at;
        else if ((text[at] == '+' || text[at] == '-') && Digits(text, at + 1, 2, zh) && zh <= 14) {
            at += 3;
            if (at < text.size() && text[at] == ':') ++at;
            if (at < text.size()) {
                if (!Digits(text, at, 2, zm) || zm > 59) return false;
                at += 2;
            }
        } else {
            return false;
        }
    }
    if (at != text.size() || !ValidDate(t)) return false;
    out = t;
    return true;
}

bool IsoTime::AddDuration(const PlanDateTime& from, std::string_view text, PlanDateTime& out,
                          bool backwards) {
    if (!ValidDate(from) || text.size() < 3 || text[0] != 'P') return false;
    double years = 0, months = 0, seconds = 0;
    size_t at = 1;
    bool any = false, inTime = false;
    // The designators in the order they must come, before and after 'T'.
    const std::string_view dateOrder = "YMWD", timeOrder = "HMS";
    size_t next = 0;
    while (at < text.size()) {
        if (text[at] == 'T') {
            if (inTime) return false;
            inTime = true;
            next = 0;
            ++at;
            if (at == text.size()) return false;  // "P1DT" names no time
            continue;
        }
        double value = 0;
        bool fraction = false;
        if (!Number(text, at, value, fraction) || at >= text.size()) return false;
        const std::string_view order = inTime ? timeOrder : dateOrder;
        const size_t kind = order.find(text[at], next);
        if (kind == std::string_view::npos) return false;
        next = kind + 1;
        ++at;
        any = true;
        switch (inTime ? 4 + kind : kind) {
            case 0:                          // years
            case 1:                          // months
                if (fraction) return false;  // a calendar step has no fraction
                (kind == 0 ? years : months) = value;
                break;
            case 2:
                seconds += value * 7 * kSecondsPerDay;
                break;
            case 3:
                seconds += value * kSecondsPerDay;
                break;
            case 4:
                seconds += value * 3600;
                break;
            case 5:
                seconds += value * 60;
                break;
            default:
                seconds += value;
                break;
        }
    }
    if (!any) return false;
    const int64_t sign = backwards ? -1 : 1;
    // The fraction of a second is dropped; the tiny error of decimal fractions in binary is not.
    const auto elapsed = static_cast<int64_t>(std::floor(seconds + 1e-6));
    const auto calendarMonths = static_cast<int64_t>(years) * 12 + static_cast<int64_t>(months);
    PlanDateTime t = from;
    if (backwards) t = FromSeconds(SecondsOf(t) - elapsed);
    // A calendar step keeps the day of the month, or the month's last day when it is shorter.
    const int64_t monthIndex = int64_t{t.year} * 12 + (t.month - 1) + sign * calendarMonths;
    const int64_t year = monthIndex >= 0 ? monthIndex / 12 : -1;
    if (year < 1 || year > 9999) return false;
    t.year = static_cast<int32_t>(year);
    t.month = static_cast<int32_t>(monthIndex % 12) + 1;
    t.day = std::min(t.day, DaysInMonth(t.year, t.month));
    if (!backwards) t = FromSeconds(SecondsOf(t) + elapsed);
    if (!ValidDate(t)) return false;
    out = t;
    return true;
}

}  // namespace CadHost
