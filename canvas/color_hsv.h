#pragma once

#include "core/geometry.h"

// Colours in hue, saturation and value, packed like an alpha colour: hue in
// bits 0-7, saturation in bits 8-15, value in bits 16-23, alpha in bits
// 24-31, each 0..255. The hue runs red 0, yellow 43, green 85, cyan 128,
// blue 171, magenta 213 and back to red at 255. Both conversions carry the
// alpha unchanged and use the canvas's blend tables, so every grey, the
// primaries and the secondaries come back exactly.
//
//   TColor Hsv = RgbToHsv(MakeColor(255, 255, 0)); // hue 43, saturation 255, value 255
//   TColor Rgb = HsvToRgb(Hsv);                    // (255, 255, 0) again
TColor RgbToHsv(TColor Rgb);
TColor HsvToRgb(TColor Hsv);

constexpr TColor MakeHsv(uint8_t Hue, uint8_t Saturation, uint8_t Value, uint8_t Alpha = 255) {
    return MakeColor(Hue, Saturation, Value, Alpha);
}
constexpr uint8_t HsvHue(TColor Hsv) { return uint8_t(Hsv); }
constexpr uint8_t HsvSaturation(TColor Hsv) { return uint8_t(Hsv >> 8); }
constexpr uint8_t HsvValue(TColor Hsv) { return uint8_t(Hsv >> 16); }
