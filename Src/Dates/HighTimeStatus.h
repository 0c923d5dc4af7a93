#pragma once
// Validity of a CHighTime or CHighTimeSpan. Only a valid value has meaningful ticks.
#include <cstdint>

enum class HighTimeStatus : int32_t { valid = 0, invalid = 1, null = 2 };

// The status of the result of an arithmetic operation: null wins over invalid, invalid over
// valid.
constexpr HighTimeStatus CombinedStatus(HighTimeStatus a, HighTimeStatus b) {
    if (a == HighTimeStatus::null || b == HighTimeStatus::null) return HighTimeStatus::null;
    if (a == HighTimeStatus::invalid || b == HighTimeStatus::invalid)
        return HighTimeStatus::invalid;
    return HighTimeStatus::valid;
}

enum class TickOperation { add, subtract };

// The result of an arithmetic operation on two values of the given statuses: the exact sum or
// difference of the ticks when both were valid and 64 bits hold it. A result beyond the range is
// invalid rather than wrapped into a date at the other end; every result that is not valid has
// ticks 0.
template <class Result>
Result ArithmeticResult(HighTimeStatus a, HighTimeStatus b, int64_t x, TickOperation op,
                        int64_t y) {
    Result result;
    result.status = CombinedStatus(a, b);
    result.ticks = 0;
    if (result.status != HighTimeStatus::valid) return result;
    int64_t ticks = 0;
    const bool overflow = op == TickOperation::add ? __builtin_add_overflow(x, y, &ticks)
                                                   : __builtin_sub_overflow(x, y, &ticks);
    if (overflow)
        result.status = HighTimeStatus::invalid;
    else
        result.ticks = ticks;
    return result;
}
