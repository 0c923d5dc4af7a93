#pragma once
// Validity of a CHighTime or CHighTimeSpan. Only a valid value has meaningful ticks.
#include <cstdint>

enum class HighTimeStatus : int32_t { valid = 0, invalid = 1, null = 2 };
