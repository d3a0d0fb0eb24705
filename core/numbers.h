#pragma once

#include "core/geometry.h"

#include <cstdint>
#include <string>
#include <string_view>

// Capacity rounding for growing arrays: the smallest capacity of the series
// 1, 2, 3, 4, 6, 8, 12, 16, 24, ... greater than N (about x1.5 and x1.33 steps).
int32_t GrowCapacity(int32_t N);
// The smallest capacity of the same series that is at least N.
int32_t FitCapacity(int32_t N);

// A*B/C in 64 bits, rounded half away from zero.
int32_t MulDivRound(int32_t A, int32_t B, int32_t C);
int64_t MulDivRound64(int64_t A, int64_t B, int64_t C);

// The largest size within MaxWidth x MaxHeight with the aspect ratio
// Width:Height; 0 x 0 when any input is not positive.
TSize FitSize(int32_t Width, int32_t Height, int32_t MaxWidth, int32_t MaxHeight);

// Lenient integer parsing for stored and typed values: leading blanks and
// signs ("-" flips), "$" for hexadecimal, trailing text ignored; Default when
// there is no digit; the parsed value is clamped to [Min, Max].
int32_t ParseInteger(std::string_view Text, int32_t Min, int32_t Max, int32_t Default);

struct TParsedPercent {
    int32_t Value = 0;
    bool HasPercent = false;
};
TParsedPercent ParsePercent(std::string_view Text, int32_t Default = 0);

// "+5%", "-12%", "0%".
std::string FormatPercent(int32_t N);

// The shortest decimal text that reads back as Value, with "." as the
// decimal point whatever the locale and never in exponent form ("0.5",
// "15", "0.0000001"); "0" for a value that is not finite. For texts other
// programs or other machines read: engine properties, source names.
std::string FormatDecimal(double Value);
std::string FormatDecimal(int64_t Value);
