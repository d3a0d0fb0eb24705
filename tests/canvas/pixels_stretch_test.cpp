#include "canvas/pixels.h"

#include "pixels_test_support.h"

#include <gtest/gtest.h>

namespace {

TPixels Row(std::vector<TPixel> Values) {
    TPixels Pixels(int32_t(Values.size()), 1);
    for (size_t I = 0; I < Values.size(); ++I)
        Put(Pixels, int32_t(I), 0, Values[I]);
    return Pixels;
}

} // namespace

struct TStretchCase {
    const char* Name;
    std::vector<TPixel> Source; // one row
    int32_t TargetWidth;
    TSmooth Smooth;
    std::vector<TPixel> Expected;
};

class StretchRowTest : public testing::TestWithParam<TStretchCase> {};

TEST_P(StretchRowTest, GivesTheExactPixels) {
    const auto& Case = GetParam();
    TPixels Source = Row(Case.Source);
    TPixels Target(Case.TargetWidth + 2, 3);
    Target.FillAll(AlphaColor(0x010203, 4));
    TPixel Background = At(Target, 0, 0);
    Target.StretchFrom({1, 1, 1 + Case.TargetWidth, 2}, Source, Case.Smooth);
    for (int32_t X = 0; X < Case.TargetWidth; ++X)
        EXPECT_EQ(At(Target, 1 + X, 1), Case.Expected[size_t(X)]) << X;
    EXPECT_TRUE(UnchangedOutside(Target, {1, 1, 1 + Case.TargetWidth, 2}, Background));
}

constexpr TPixel Red = Bgra(255, 0, 0), Green = Bgra(0, 255, 0), Blue = Bgra(0, 0, 255);

INSTANTIATE_TEST_SUITE_P(
    Cases, StretchRowTest,
    testing::Values(
        TStretchCase{"NearestDoubles", {Red, Blue}, 4, TSmooth::No, {Red, Red, Blue, Blue}},
        TStretchCase{"NearestHalves", {Red, Green, Blue, Red}, 2, TSmooth::No, {Red, Blue}},
        TStretchCase{"SameSizeCopies", {Red, Bgra(1, 2, 3, 0)}, 2, TSmooth::Yes, {Red, Bgra(1, 2, 3, 0)}},
        // p = 128 t - 64: the left sample is missing before the first pixel
        // and the right one after the last, so the ends lose alpha.
        TStretchCase{"SmoothEnlargeInterpolates",
                     {Red, Blue},
                     4,
                     TSmooth::Yes,
                     {Bgra(255, 0, 0, 192), Bgra(191, 0, 64, 255), Bgra(63, 0, 192, 255), Bgra(0, 0, 255, 191)}},
        TStretchCase{"SmoothShrinkAverages", {Red, Bgra(0, 0, 0), Blue, Blue}, 2, TSmooth::Yes,
                     {Bgra(127, 0, 0), Blue}},
        // Spans of 382/255 source pixels: weights 255 + 127 and 128 + 255.
        TStretchCase{"SmoothShrinkWeighsFractionalEnds", {Red, Green, Blue}, 2, TSmooth::Yes,
                     {Bgra(170, 84, 0), Bgra(0, 85, 169)}},
        // A transparent pixel lends no colour, only less alpha.
        TStretchCase{"SmoothShrinkWeighsByAlpha", {Red, Bgra(0, 255, 0, 0)}, 1, TSmooth::Yes,
                     {Bgra(255, 0, 0, 128)}},
        TStretchCase{"AllTransparentGivesZero", {Bgra(9, 9, 9, 0), Bgra(9, 9, 9, 0)}, 1, TSmooth::Yes, {0}}),
    [](const testing::TestParamInfo<TStretchCase>& Info) { return std::string(Info.param.Name); });

TEST(PixelsStretch, BothAxesInEitherPassOrder) {
    // 2 x 2 to 4 x 1 (the vertical pass goes first) and to 1 x 4 (the
    // horizontal one does): the
    // shrunk axis averages the two rows or columns.
    TPixels Source(2, 2);
    Put(Source, 0, 0, Red);
    Put(Source, 1, 0, Red);
    Put(Source, 0, 1, Blue);
    Put(Source, 1, 1, Blue);
    TPixels Wide(4, 1);
    Wide.StretchFrom({0, 0, 4, 1}, Source, TSmooth::Yes);
    EXPECT_EQ(At(Wide, 1, 0), Bgra(127, 0, 127, 255));
    EXPECT_EQ(At(Wide, 0, 0), Bgra(127, 0, 127, 192));
    TPixels Tall(1, 4);
    Tall.StretchFrom({0, 0, 1, 4}, Source, TSmooth::Yes);
    EXPECT_EQ(At(Tall, 0, 0), Bgra(255, 0, 0, 192));
    EXPECT_EQ(At(Tall, 0, 1), Bgra(191, 0, 64, 255));
}

TEST(PixelsStretch, AClippedStretchGivesTheSamePixelsAsAFullOne) {
    TPixels Source = Pattern(7, 5);
    for (TSmooth Smooth : {TSmooth::No, TSmooth::Yes}) {
        TPixels Full(20, 12);
        Full.FillAll(0);
        Full.StretchFrom({1, 1, 18, 11}, Source, Smooth);
        TPixels Clipped(20, 12);
        Clipped.FillAll(0);
        Clipped.SetClipRect({5, 3, 12, 8});
        Clipped.Origin = {1, 0};
        Clipped.StretchFrom({0, 1, 17, 11}, Source, Smooth);
        for (int32_t Y = 0; Y < 12; ++Y)
            for (int32_t X = 0; X < 20; ++X)
                ASSERT_EQ(At(Clipped, X, Y), TRect({5, 3, 12, 8}).Contains(TPoint{X, Y}) ? At(Full, X, Y) : 0u)
                    << X << "," << Y;
    }
}
