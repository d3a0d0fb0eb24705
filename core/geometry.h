#pragma once

#include <algorithm>
#include <cstdint>

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
    TPoint operator+(TPoint Other) const { return {X + Other.X, Y + Other.Y}; }
    TPoint operator-(TPoint Other) const { return {X - Other.X, Y - Other.Y}; }
};

struct TSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TSize&) const = default;
};

// Right and Bottom are exclusive: the width is Right - Left. A rectangle whose
// right is not past its left (or bottom past top) is empty; the operations
// below treat every empty rectangle alike.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;

    static TRect FromSize(int32_t X, int32_t Y, int32_t Width, int32_t Height) {
        return {X, Y, X + Width, Y + Height};
    }

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    TSize Size() const { return {Width(), Height()}; }
    TPoint TopLeft() const { return {Left, Top}; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }

    bool Contains(TPoint Point) const {
        return Point.X >= Left && Point.X < Right && Point.Y >= Top && Point.Y < Bottom;
    }
    bool Contains(const TRect& Other) const {
        return Other.IsEmpty() || (Other.Left >= Left && Other.Top >= Top && Other.Right <= Right &&
                                   Other.Bottom <= Bottom && !IsEmpty());
    }
    bool Intersects(const TRect& Other) const { return !Intersected(Other).IsEmpty(); }

    // The common part; an empty rectangle when they do not overlap.
    TRect Intersected(const TRect& Other) const {
        TRect Common{std::max(Left, Other.Left), std::max(Top, Other.Top), std::min(Right, Other.Right),
                     std::min(Bottom, Other.Bottom)};
        return Common.IsEmpty() ? TRect{} : Common;
    }
    // The smallest rectangle holding both; an empty side is ignored.
    TRect United(const TRect& Other) const {
        if (Other.IsEmpty())
            return *this;
        if (IsEmpty())
            return Other;
        return {std::min(Left, Other.Left), std::min(Top, Other.Top), std::max(Right, Other.Right),
                std::max(Bottom, Other.Bottom)};
    }
    TRect Translated(int32_t DX, int32_t DY) const { return {Left + DX, Top + DY, Right + DX, Bottom + DY}; }
    TRect Translated(TPoint Delta) const { return Translated(Delta.X, Delta.Y); }
    // Grown by DX on the left and right and by DY above and below (shrunk
    // when negative).
    TRect Inflated(int32_t DX, int32_t DY) const { return {Left - DX, Top - DY, Right + DX, Bottom + DY}; }
};

// A 32-bit colour with red in the low byte, then green, blue, and alpha in the
// high byte (255 opaque).
using TColor = uint32_t;

constexpr TColor MakeColor(uint8_t R, uint8_t G, uint8_t B, uint8_t A = 255) {
    return TColor(R) | TColor(G) << 8 | TColor(B) << 16 | TColor(A) << 24;
}
constexpr uint8_t ColorRed(TColor Color) { return uint8_t(Color); }
constexpr uint8_t ColorGreen(TColor Color) { return uint8_t(Color >> 8); }
constexpr uint8_t ColorBlue(TColor Color) { return uint8_t(Color >> 16); }
constexpr uint8_t ColorAlpha(TColor Color) { return uint8_t(Color >> 24); }
