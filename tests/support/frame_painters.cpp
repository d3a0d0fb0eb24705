#include "test_media.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr int BitCount = 10;

struct TRgb {
    int R, G, B;
};

// A saturated colour, neither grey nor black nor white, that turns by 47
// degrees of hue from one index to the next.
TRgb IndexColour(int Index) {
    const int Hue = (Index % (1 << BitCount)) * 47 % 360;
    const int Value = 191;
    const int Rising = Value * (Hue % 60) / 60;
    const int Falling = Value - Rising;
    switch (Hue / 60) {
    case 0:
        return {Value, Rising, 0};
    case 1:
        return {Falling, Value, 0};
    case 2:
        return {0, Value, Rising};
    case 3:
        return {0, Falling, Value};
    case 4:
        return {Rising, 0, Value};
    default:
        return {Value, 0, Falling};
    }
}

void Fill(uint8_t* Bgra, int Stride, int Left, int Top, int Right, int Bottom, TRgb Colour) {
    for (int Y = Top; Y < Bottom; ++Y)
        for (int X = Left; X < Right; ++X) {
            uint8_t* Pixel = Bgra + Y * Stride + X * 4;
            Pixel[0] = static_cast<uint8_t>(Colour.B);
            Pixel[1] = static_cast<uint8_t>(Colour.G);
            Pixel[2] = static_cast<uint8_t>(Colour.R);
            Pixel[3] = 255;
        }
}

// The mean colour of a square of 2 Radius + 1 pixels around (X, Y), clipped to the image.
TRgb Mean(const uint8_t* Bgra, int Width, int Height, int Stride, int X, int Y, int Radius) {
    long Sums[3] = {0, 0, 0};
    long Count = 0;
    for (int Row = std::max(0, Y - Radius); Row <= std::min(Height - 1, Y + Radius); ++Row)
        for (int Column = std::max(0, X - Radius); Column <= std::min(Width - 1, X + Radius);
             ++Column) {
            const uint8_t* Pixel = Bgra + Row * Stride + Column * 4;
            for (int Channel = 0; Channel < 3; ++Channel)
                Sums[Channel] += Pixel[Channel];
            ++Count;
        }
    return {static_cast<int>(Sums[2] / Count), static_cast<int>(Sums[1] / Count),
            static_cast<int>(Sums[0] / Count)};
}

} // namespace

TFramePainter SolidColor(uint8_t R, uint8_t G, uint8_t B) {
    return [R, G, B](int, uint8_t* Bgra, int Width, int Height, int Stride) {
        Fill(Bgra, Stride, 0, 0, Width, Height, {R, G, B});
    };
}

TFramePainter NumberedFrames() {
    return [](int FrameIndex, uint8_t* Bgra, int Width, int Height, int Stride) {
        const int Middle = Height / 2;
        for (int Bit = 0; Bit < BitCount; ++Bit) {
            const bool IsSet = (FrameIndex >> (BitCount - 1 - Bit)) & 1;
            const int Shade = IsSet ? 255 : 0;
            Fill(Bgra, Stride, Bit * Width / BitCount, 0, (Bit + 1) * Width / BitCount, Middle,
                 {Shade, Shade, Shade});
        }
        Fill(Bgra, Stride, 0, Middle, Width, Height, IndexColour(FrameIndex));
    };
}

int ReadFrameNumber(const uint8_t* Bgra, int Width, int Height, int Stride) {
    if (Width < BitCount || Height < 2)
        return -1;
    // Lossy codecs blur edges and add noise in flat areas: average a square
    // well inside each area and leave a wide margin between black and white.
    const int BarRadius = std::min(Width / BitCount, Height / 2) / 6;
    int Index = 0;
    for (int Bit = 0; Bit < BitCount; ++Bit) {
        const TRgb Bar = Mean(Bgra, Width, Height, Stride, (2 * Bit + 1) * Width / (2 * BitCount),
                              Height / 4, BarRadius);
        // Bars are grey; a coloured area is no bar at all.
        if (std::max({Bar.R, Bar.G, Bar.B}) - std::min({Bar.R, Bar.G, Bar.B}) > 64)
            return -1;
        const int Shade = (Bar.R + Bar.G + Bar.B) / 3;
        if (Shade >= 160)
            Index |= 1 << (BitCount - 1 - Bit);
        else if (Shade > 96)
            return -1;
    }
    // The colour below tells numbered frames from any picture that happens to
    // look like bars, e.g. all black or all white.
    const TRgb Expected = IndexColour(Index);
    const TRgb Found = Mean(Bgra, Width, Height, Stride, Width / 2, Height * 3 / 4,
                            std::min(Width, Height / 2) / 6);
    const int Tolerance = 48;
    if (std::abs(Found.R - Expected.R) > Tolerance || std::abs(Found.G - Expected.G) > Tolerance ||
        std::abs(Found.B - Expected.B) > Tolerance)
        return -1;
    return Index;
}
