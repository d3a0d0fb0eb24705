#pragma once

#include "canvas/pixels.h"

#include <cstdint>

// Pixels written as (red, green, blue, alpha) in tests.
constexpr TPixel Bgra(uint8_t R, uint8_t G, uint8_t B, uint8_t A = 255) {
    return TPixel(B) | TPixel(G) << 8 | TPixel(R) << 16 | TPixel(A) << 24;
}

// Raw pixel in raster coordinates, ignoring Origin.
inline TPixel At(const TPixels& Pixels, int32_t X, int32_t Y) {
    return Pixels.RowPixels(Y)[X];
}

inline void Put(TPixels& Pixels, int32_t X, int32_t Y, TPixel Value) {
    Pixels.RowPixels(Y)[X] = Value;
}

// Every pixel outside Area (raster coordinates) still equals Value.
inline bool UnchangedOutside(const TPixels& Pixels, const TRect& Area, TPixel Value) {
    for (int32_t Y = 0; Y < Pixels.Height(); ++Y)
        for (int32_t X = 0; X < Pixels.Width(); ++X)
            if (!Area.Contains(TPoint{X, Y}) && At(Pixels, X, Y) != Value)
                return false;
    return true;
}

// A raster whose every pixel differs: a known pattern with varied alpha.
inline TPixels Pattern(int32_t Width, int32_t Height) {
    TPixels Pixels(Width, Height);
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            Put(Pixels, X, Y, Bgra(uint8_t(X * 37 + Y), uint8_t(Y * 53 + 7), uint8_t(X * Y + 3), uint8_t(X * 29 + Y * 71)));
    return Pixels;
}
