#pragma once

#include "platform/graphics/color.h"

#include <cstdint>
#include <cstring>

// Per-pixel operations on BGRA bytes with straight alpha, inlined into the
// loops of the transforms.

// Exact division by 255 with rounding for products of two bytes.
inline uint32_t DivideBy255(uint32_t X) {
    return (X + 128 + ((X + 128) >> 8)) >> 8;
}

inline void CopyPixel(const uint8_t* From, uint8_t* To) {
    std::memcpy(To, From, 4);
}

// Out := A + (B - A) * Weight / 256, Weight 0..256. Translucent pixels blend
// through premultiplied values so a fade from transparent does not darken.
inline void BlendPixel(const uint8_t* A, const uint8_t* B, uint32_t Weight, uint8_t* Out) {
    if ((A[3] & B[3]) == 255) {
        for (int C = 0; C < 3; ++C)
            Out[C] = uint8_t((A[C] * (256 - Weight) + B[C] * Weight + 128) >> 8);
        Out[3] = 255;
        return;
    }
    uint32_t WA = A[3] * (256 - Weight), WB = B[3] * Weight;
    uint32_t Alpha = WA + WB; // alpha x 256
    if (Alpha == 0) {
        std::memset(Out, 0, 4);
        return;
    }
    for (int C = 0; C < 3; ++C)
        Out[C] = uint8_t((A[C] * WA + B[C] * WB + Alpha / 2) / Alpha);
    Out[3] = uint8_t((Alpha + 128) >> 8);
}

// Lays Top over Bottom by Top's alpha.
inline void OverPixel(const uint8_t* Top, uint8_t* Bottom) {
    uint32_t Alpha = Top[3];
    if (Alpha == 255) {
        CopyPixel(Top, Bottom);
        return;
    }
    if (Alpha == 0)
        return;
    uint32_t BottomWeight = DivideBy255(uint32_t(Bottom[3]) * (255 - Alpha));
    uint32_t OutAlpha = Alpha + BottomWeight;
    for (int C = 0; C < 3; ++C)
        Bottom[C] = uint8_t((Top[C] * Alpha + Bottom[C] * BottomWeight + OutAlpha / 2) / OutAlpha);
    Bottom[3] = uint8_t(OutAlpha);
}

// OverPixel for a run of Count pixels.
inline void OverSpan(const uint8_t* Top, uint8_t* Bottom, int32_t Count) {
    for (int32_t I = 0; I < Count; ++I, Top += 4, Bottom += 4)
        OverPixel(Top, Bottom);
}

// Lays Color, with its alpha scaled by Coverage (0..255), over the pixel:
// the operation every glyph pixel and every anti-aliased edge goes through.
inline void BlendCoverage(uint8_t* Pixel, TColor Color, uint32_t Coverage) {
    uint8_t Top[4];
    ColorToBgra(Color, Top);
    Top[3] = uint8_t(DivideBy255(Top[3] * Coverage));
    OverPixel(Top, Pixel);
}

// Rec. 601 luma of a BGRA pixel, 0..255.
inline uint32_t PixelLuma(const uint8_t* P) {
    return (P[2] * 77u + P[1] * 150u + P[0] * 29u + 128u) >> 8;
}
