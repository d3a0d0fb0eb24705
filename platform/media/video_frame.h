#pragma once

#include "core/geometry.h"
#include "platform/graphics/pixel_view.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A video frame of the engine: 32-bit pixels with bytes blue, green, red and
// alpha (straight alpha, 255 opaque), rows from top to bottom.
class TVideoFrame {
public:
    TVideoFrame() = default;
    TVideoFrame(int32_t Width, int32_t Height);

    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    int32_t Stride() const { return FWidth * 4; }
    bool IsEmpty() const { return FWidth == 0 || FHeight == 0; }

    uint8_t* Data() { return FPixels.data(); }
    const uint8_t* Data() const { return FPixels.data(); }
    uint8_t* Row(int32_t Y) { return FPixels.data() + size_t(Y) * size_t(Stride()); }
    const uint8_t* Row(int32_t Y) const { return FPixels.data() + size_t(Y) * size_t(Stride()); }
    // The frame's pixels for the drawing routines shared with the text layer
    // and the toolkit; valid until the frame is resized.
    TPixelView View() { return {FPixels.data(), FWidth, FHeight, Stride()}; }

    // The pixel as a colour with red in the low byte and alpha in the top byte.
    TColor Pixel(int32_t X, int32_t Y) const;
    void SetPixel(int32_t X, int32_t Y, TColor Color);

    void Resize(int32_t Width, int32_t Height);
    // Fills every pixel with Color (red in the low byte).
    void Fill(TColor Color);

private:
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    std::vector<uint8_t> FPixels;
};
