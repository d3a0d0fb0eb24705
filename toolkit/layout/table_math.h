#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Integer helpers of the layout engines: every product or sum of screen
// values is formed in 64 bits and brought back into range only at the end.

// A * B / C truncated toward zero; 0 when C is 0, so that a table laid out
// at no size never divides by nothing.
inline int64_t TableMulDiv(int64_t A, int64_t B, int64_t C) { return C == 0 ? 0 : A * B / C; }

inline int32_t TableClamp32(int64_t Value) {
    return int32_t(std::clamp<int64_t>(Value, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// Value limited to [Low, High], Low winning when the range is empty.
inline int32_t TableLimit(int32_t Value, int32_t Low, int32_t High) { return std::max(Low, std::min(Value, High)); }
