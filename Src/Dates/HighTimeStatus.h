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

// Tick sums and differences wrap on overflow instead of being undefined.
constexpr int64_t WrappingAdd(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
constexpr int64_t WrappingSub(int64_t a, int64_t b) {
    return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

// The result of an arithmetic operation on two values of the given statuses: ticks only when
// both were valid, 0 otherwise.
template <class Result>
Result ArithmeticResult(HighTimeStatus a, HighTimeStatus b, int64_t ticks) {
    Result result;
    result.status = CombinedStatus(a, b);
    result.ticks = result.status == HighTimeStatus::valid ? ticks : 0;
    return result;
}
