// Pixelation as an effect and as a transition, on frames whose red channel
// rises four steps per column: a square of four columns shows their mean.

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

constexpr uint8_t FromA = 1, FromB = 2;

TVideoFrame Ramp(uint8_t Tag, int32_t W = Width, int32_t H = Height) {
    TVideoFrame Frame(W, H);
    for (int32_t Y = 0; Y < H; ++Y)
        for (int32_t X = 0; X < W; ++X)
            Frame.SetPixel(X, Y, MakeColor(uint8_t(4 * X), uint8_t(Y), Tag));
    return Frame;
}

// Every Size x Size square of the frame holds one colour: that of the mean
// of the ramp over its columns and rows. Size divides the frame's sides.
void ExpectSquares(const TVideoFrame& Frame, int32_t Size, uint8_t Tag) {
    for (int32_t Y = 0; Y < Frame.Height(); ++Y)
        for (int32_t X = 0; X < Frame.Width(); ++X) {
            TColor P = Frame.Pixel(X, Y);
            int32_t Column = X / Size * Size, Row = Y / Size * Size;
            ASSERT_EQ(Blue(P), Tag);
            ASSERT_NEAR(Red(P), 4 * Column + 2 * (Size - 1), 1) << X << "," << Y;
            ASSERT_NEAR(Green(P), Row + (Size - 1) / 2.0, 0.6) << X << "," << Y;
        }
}

TEST(PixelateEffect, ProgressOneShowsSquaresOfMaxSquare) {
    auto Effect = MakeVideoEffect(TransformClassIds::Pixelate(),
                                  Properties({{"MaxSquare", "4"}, {"Progress", "1.0"}}));
    for (double Share : {0.0, 0.5, 1.0})
        ExpectSquares(Applied(*Effect, At(Share), Ramp(FromA)), 4, FromA);
}

TEST(PixelateEffect, WithoutProgressTheSquaresGrowOverTheEffectsRange) {
    auto Effect = MakeVideoEffect(TransformClassIds::Pixelate(), Properties({{"MaxSquare", "7"}}));
    TVideoFrame Frame = Ramp(FromA);
    ExpectSquares(Applied(*Effect, At(0), Frame), 1, FromA);
    ExpectSquares(Applied(*Effect, At(0.5), Frame), 4, FromA);
    // 64 columns do not divide into squares of 7: the grid is centred, four
    // columns of a square at either edge.
    TVideoFrame End = Applied(*Effect, At(1), Frame);
    EXPECT_EQ(End.Pixel(0, 3), End.Pixel(3, 3));
    EXPECT_NE(End.Pixel(3, 3), End.Pixel(4, 3));
    EXPECT_EQ(End.Pixel(4, 3), End.Pixel(10, 3));
    EXPECT_NE(End.Pixel(59, 3), End.Pixel(60, 3));
    EXPECT_EQ(End.Pixel(60, 3), End.Pixel(63, 3));
}

TEST(PixelateEffect, TheGridIsCentredSoEdgeSquaresMatch) {
    auto Effect = MakeVideoEffect(TransformClassIds::Pixelate(),
                                  Properties({{"MaxSquare", "4"}, {"Progress", "1"}}));
    TVideoFrame Frame(10, 1);
    for (int32_t X = 0; X < 10; ++X)
        Frame.SetPixel(X, 0, MakeColor(uint8_t(10 * X), 0, 0));
    TVideoFrame Out = Applied(*Effect, At(0), Frame);
    // Squares over columns 0-2, 3-6 and 7-9.
    const int32_t Expected[10] = {10, 10, 10, 45, 45, 45, 45, 80, 80, 80};
    for (int32_t X = 0; X < 10; ++X)
        EXPECT_EQ(Red(Out.Pixel(X, 0)), Expected[X]) << "column " << X;
}

TEST(PixelateEffect, TransparentPixelsDoNotDarkenTheMean) {
    auto Effect = MakeVideoEffect(TransformClassIds::Pixelate(),
                                  Properties({{"MaxSquare", "2"}, {"Progress", "1"}}));
    TVideoFrame Frame(2, 1);
    Frame.SetPixel(0, 0, MakeColor(200, 100, 50, 255));
    Frame.SetPixel(1, 0, MakeColor(0, 0, 0, 0));
    TVideoFrame Out = Applied(*Effect, At(0), Frame);
    EXPECT_EQ(Out.Pixel(0, 0), MakeColor(200, 100, 50, 128));
    EXPECT_EQ(Out.Pixel(1, 0), Out.Pixel(0, 0));
}

TEST(PixelateTransition, CoarsensAThenRefinesB) {
    auto Transition =
        MakeTransition(TransformClassIds::Pixelate(), Properties({{"maxsquare", "7"}}));
    TVideoFrame A = Ramp(FromA), B = Ramp(FromB);
    ExpectSquares(Combine(*Transition, At(0), A, B), 1, FromA);
    ExpectSquares(Combine(*Transition, At(0.25), A, B), 4, FromA);
    // Half-way: B in squares of 7, the one over columns 4-10 and rows 7-13.
    TVideoFrame Half = Combine(*Transition, At(0.5), A, B);
    EXPECT_EQ(Blue(Half.Pixel(0, 0)), FromB);
    EXPECT_EQ(Half.Pixel(4, 7), Half.Pixel(10, 13));
    EXPECT_NE(Half.Pixel(10, 13), Half.Pixel(11, 13));
    EXPECT_NE(Half.Pixel(10, 13), Half.Pixel(10, 14));
    ExpectSquares(Combine(*Transition, At(0.75), A, B), 4, FromB);
    ExpectSquares(Combine(*Transition, At(1), A, B), 1, FromB);
}

TEST(PixelateTransition, IsRegisteredAlongsideTheEffect) {
    EXPECT_TRUE(MediaComponents().HasTransition(TransformClassIds::Pixelate()));
    EXPECT_TRUE(MediaComponents().HasVideoEffect(TransformClassIds::Pixelate()));
}

} // namespace
