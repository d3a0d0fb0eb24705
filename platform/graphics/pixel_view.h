#pragma once

#include "core/geometry.h"

#include <cstddef>
#include <cstdint>

// A view of 32-bit pixels that someone else owns: bytes blue, green, red and
// alpha (straight alpha, 255 opaque). Row(0) is the top row on screen; Stride
// is the byte step from one screen row to the next below it, negative for a
// raster stored bottom-up. The engine's frames, the text layer and the
// toolkit's rasters all hand out such views, so one drawing routine serves
// them all. Nothing keeps the view: it is valid while its owner's pixels are.
//
//   std::vector<uint8_t> Bytes(Width * Height * 4);
//   TPixelView View{Bytes.data(), Width, Height, Width * 4};
//   FillRect(View, {0, 0, 8, 8}, MakeColor(255, 0, 0));
struct TPixelView {
    uint8_t* Pixels = nullptr; // the top row on screen
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Stride = 0;

    bool IsEmpty() const { return !Pixels || Width <= 0 || Height <= 0; }
    TRect Bounds() const { return {0, 0, Width, Height}; }
    uint8_t* Row(int32_t Y) const { return Pixels + ptrdiff_t(Y) * Stride; }
    uint8_t* At(int32_t X, int32_t Y) const { return Row(Y) + ptrdiff_t(X) * 4; }

    // The part of the view inside Rect (clipped to the view); empty when
    // nothing of Rect lies inside.
    TPixelView Sub(const TRect& Rect) const {
        TRect Part = Rect.Intersected(Bounds());
        if (Part.IsEmpty())
            return {};
        return {At(Part.Left, Part.Top), Part.Width(), Part.Height(), Stride};
    }
};
