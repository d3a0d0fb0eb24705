#pragma once

#include <cstdint>

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TSize&) const = default;
};

// Right and Bottom are exclusive: the width is Right - Left.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
};

// A 32-bit colour with red in the low byte, then green, blue, and alpha in the
// high byte (255 opaque).
using TColor = uint32_t;

constexpr TColor MakeColor(uint8_t R, uint8_t G, uint8_t B, uint8_t A = 255) {
    return TColor(R) | TColor(G) << 8 | TColor(B) << 16 | TColor(A) << 24;
}
