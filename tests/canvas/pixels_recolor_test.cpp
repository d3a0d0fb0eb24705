#include "canvas/pixels.h"

#include "pixels_test_support.h"

#include <gtest/gtest.h>

namespace {

TPixel Recolored(void (TPixels::*Recolor)(const TRect&, TColor), TPixel Pixel, TColor Color) {
    TPixels Pixels(1, 1);
    Put(Pixels, 0, 0, Pixel);
    (Pixels.*Recolor)({0, 0, 1, 1}, Color);
    return At(Pixels, 0, 0);
}

const TColor Orange = MakeColor(230, 120, 40);

} // namespace

TEST(PixelsRecolor, ColorizeMapsMidGreyToTheColourAndKeepsBlackAndWhite) {
    EXPECT_EQ(Recolored(&TPixels::Colorize, Bgra(128, 128, 128, 77), Orange), Bgra(230, 120, 40, 77));
    EXPECT_EQ(Recolored(&TPixels::Colorize, Bgra(0, 0, 0), Orange), Bgra(0, 0, 0));
    EXPECT_EQ(Recolored(&TPixels::Colorize, Bgra(255, 255, 255), Orange), Bgra(255, 255, 255));
    // Darker greys scale the colour down.
    TPixel Dark = Recolored(&TPixels::Colorize, Bgra(64, 64, 64), Orange);
    EXPECT_LT((Dark >> 16) & 255, 230u);
    EXPECT_GT((Dark >> 16) & 255, (Dark >> 8) & 255);
}

TEST(PixelsRecolor, TintKeepsBrightness) {
    EXPECT_EQ(Recolored(&TPixels::Tint, Bgra(230, 120, 40), Orange), Bgra(230, 120, 40));
    EXPECT_EQ(Recolored(&TPixels::Tint, Bgra(0, 0, 0, 9), Orange), Bgra(0, 0, 0, 9));
    EXPECT_EQ(Recolored(&TPixels::Tint, Bgra(255, 255, 255), Orange), Bgra(255, 255, 255));
    // Black as the colour: greys of the pixel's brightness.
    EXPECT_EQ(Recolored(&TPixels::Tint, Bgra(128, 128, 128), MakeColor(0, 0, 0)), Bgra(128, 128, 128));
}

TEST(PixelsRecolor, NeitherTouchesTransparentPixelsNorPixelsOutsideTheClip) {
    for (auto Recolor : {&TPixels::Colorize, &TPixels::Tint}) {
        EXPECT_EQ(Recolored(Recolor, Bgra(10, 200, 30, 0), Orange), Bgra(10, 200, 30, 0));
        TPixels Pixels(3, 1);
        for (int32_t X = 0; X < 3; ++X)
            Put(Pixels, X, 0, Bgra(128, 128, 128, 200));
        Pixels.SetClipRect({1, 0, 2, 1});
        (Pixels.*Recolor)({0, 0, 3, 1}, Orange);
        EXPECT_EQ(At(Pixels, 0, 0), Bgra(128, 128, 128, 200));
        EXPECT_EQ(At(Pixels, 2, 0), Bgra(128, 128, 128, 200));
        EXPECT_EQ(At(Pixels, 1, 0) >> 24, 200u);
    }
}

TEST(PixelsRecolor, ShadingFunctionsDarkenAndLightenAndKeepAlpha) {
    TPixel Grey = Bgra(128, 128, 128, 99);
    TPixel Ink = Bgra(0, 0, 0, 255);
    EXPECT_EQ(DarkenOp(Ink, Grey, 0), Grey);
    EXPECT_EQ(LightenOp(Ink, Grey, 0), Grey);
    TPixel Darker = DarkenOp(Ink, Grey, 128);
    TPixel Lighter = LightenOp(Ink, Grey, 128);
    EXPECT_LT(Darker & 255, 128u);
    EXPECT_GT(Lighter & 255, 128u);
    EXPECT_EQ(Darker >> 24, 99u);
    EXPECT_EQ(Lighter >> 24, 99u);
    // A transparent colour argument means no shading.
    EXPECT_EQ(DarkenOp(Bgra(0, 0, 0, 0), Grey, 255), Grey);
}
