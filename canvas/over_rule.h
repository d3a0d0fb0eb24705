#pragma once

#include "canvas/blend_tables.h"
#include "canvas/pixels.h"

// The "over" rule for one pixel: Source with its alpha sa over Destination
// with alpha da. The result's alpha is the union Screen[sa][da]; the
// source's share of it, Div[sa][ao], moves each colour channel toward the
// source.
inline TPixel ComposePixel(const TBlendTables& T, TPixel Source, TPixel Destination) {
    uint32_t Sa = Source >> 24;
    if (Sa == 255)
        return Source;
    if (Sa == 0)
        return Destination;
    uint32_t Ao = T.Screen[Sa][Destination >> 24];
    uint8_t W = T.Div[Sa][Ao];
    uint32_t B = T.Toward(W, uint8_t(Destination), uint8_t(Source));
    uint32_t G = T.Toward(W, uint8_t(Destination >> 8), uint8_t(Source >> 8));
    uint32_t R = T.Toward(W, uint8_t(Destination >> 16), uint8_t(Source >> 16));
    return B | G << 8 | R << 16 | Ao << 24;
}

// Only the colour: each channel moves toward the source by Weight; the
// destination keeps its alpha.
inline TPixel BlendPixelColor(const TBlendTables& T, TPixel Source, uint8_t Weight,
                              TPixel Destination) {
    uint32_t B = T.Toward(Weight, uint8_t(Destination), uint8_t(Source));
    uint32_t G = T.Toward(Weight, uint8_t(Destination >> 8), uint8_t(Source >> 8));
    uint32_t R = T.Toward(Weight, uint8_t(Destination >> 16), uint8_t(Source >> 16));
    return B | G << 8 | R << 16 | (Destination & 0xFF000000u);
}

inline TPixel WithAlpha(TPixel Pixel, uint32_t Alpha) {
    return (Pixel & 0x00FFFFFFu) | Alpha << 24;
}
