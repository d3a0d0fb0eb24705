// Emboss and engrave on a bright square over a dark ground: flat areas turn
// mid grey, the square's top-left edge lights up and its bottom-right edge
// darkens when embossed, the other way round when engraved.

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

// A grey ground of 40 with a square of 200 over columns and rows 20..29.
TVideoFrame Square() {
    TVideoFrame Frame = Solid(MakeColor(40, 40, 40, 200));
    for (int32_t Y = 20; Y < 30; ++Y)
        for (int32_t X = 20; X < 30; ++X)
            Frame.SetPixel(X, Y, MakeColor(200, 200, 200, 200));
    return Frame;
}

TEST(EmbossEffect, RaisesBrightShapesLitFromTheTopLeft) {
    auto Emboss = MakeVideoEffect(TransformClassIds::Emboss(), {});
    TVideoFrame Out = Applied(*Emboss, At(0.5), Square());
    EXPECT_EQ(Out.Pixel(5, 5), MakeColor(128, 128, 128, 200));   // flat ground
    EXPECT_EQ(Out.Pixel(25, 25), MakeColor(128, 128, 128, 200)); // flat square
    // Top-left edge: 128 + 200 - 40 clamps to white; bottom-right: 128 + 40 - 200.
    EXPECT_EQ(Out.Pixel(20, 20), MakeColor(255, 255, 255, 200));
    EXPECT_EQ(Out.Pixel(19, 19), MakeColor(255, 255, 255, 200));
    EXPECT_EQ(Out.Pixel(29, 29), MakeColor(0, 0, 0, 200));
    EXPECT_EQ(Out.Pixel(30, 30), MakeColor(0, 0, 0, 200));
}

TEST(EmbossEffect, EngraveCarvesThemIn) {
    auto Engrave = MakeVideoEffect(TransformClassIds::Engrave(), {});
    TVideoFrame Out = Applied(*Engrave, At(0), Square());
    EXPECT_EQ(Out.Pixel(5, 5), MakeColor(128, 128, 128, 200));
    EXPECT_EQ(Out.Pixel(20, 20), MakeColor(0, 0, 0, 200));
    EXPECT_EQ(Out.Pixel(29, 29), MakeColor(255, 255, 255, 200));
}

TEST(EmbossEffect, ReliefIsTheDiagonalStepOfLuma) {
    // A gentle ramp: luma rises 2 per column, so the step over two columns
    // and rows is 4 everywhere inside, 2 at the clamped edges.
    TVideoFrame Frame(Width, Height);
    for (int32_t Y = 0; Y < Height; ++Y)
        for (int32_t X = 0; X < Width; ++X)
            Frame.SetPixel(X, Y, MakeColor(uint8_t(2 * X), uint8_t(2 * X), uint8_t(2 * X)));
    auto Emboss = MakeVideoEffect(TransformClassIds::Emboss(), {});
    TVideoFrame Out = Applied(*Emboss, At(0), Frame);
    EXPECT_EQ(Red(Out.Pixel(30, 20)), 132);
    EXPECT_EQ(Red(Out.Pixel(0, 20)), 130);
    EXPECT_EQ(Red(Out.Pixel(Width - 1, 20)), 130);
}

} // namespace
