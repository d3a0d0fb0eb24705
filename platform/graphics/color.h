#pragma once

#include "core/geometry.h"

#include <cstdint>

// The one conversion between stored colours (TColor: red in the low byte,
// alpha in the top byte) and the BGRA bytes of pixels.

inline void ColorToBgra(TColor Color, uint8_t* Pixel) {
    Pixel[0] = ColorBlue(Color);
    Pixel[1] = ColorGreen(Color);
    Pixel[2] = ColorRed(Color);
    Pixel[3] = ColorAlpha(Color);
}

inline TColor BgraToColor(const uint8_t* Pixel) {
    return MakeColor(Pixel[2], Pixel[1], Pixel[0], Pixel[3]);
}

// The same colour as one little-endian 32-bit BGRA word, for filling rows a
// word at a time (blue in the low byte).
constexpr uint32_t ColorToBgraWord(TColor Color) {
    return uint32_t(ColorBlue(Color)) | uint32_t(ColorGreen(Color)) << 8 | uint32_t(ColorRed(Color)) << 16 |
           uint32_t(ColorAlpha(Color)) << 24;
}

// The inverse: a BGRA word (the 0xAARRGGBB of colour texts) as a stored colour.
constexpr TColor BgraWordToColor(uint32_t Word) {
    return MakeColor(uint8_t(Word >> 16), uint8_t(Word >> 8), uint8_t(Word), uint8_t(Word >> 24));
}
