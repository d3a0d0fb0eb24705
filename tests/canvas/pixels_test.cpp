#include "canvas/pixels.h"

#include "pixels_test_support.h"

#include <gtest/gtest.h>

TEST(Pixels, ResizeClampsAndAnEmptyRasterIgnoresDrawing) {
    TPixels Pixels(20000, -5);
    EXPECT_EQ(Pixels.Width(), 16384);
    EXPECT_EQ(Pixels.Height(), 0);
    EXPECT_TRUE(Pixels.IsEmpty());
    Pixels.FillAll(AlphaColor(0xFFFFFF, 255));
    Pixels.BlendRect({0, 0, 10, 10}, AlphaColor(0xFF, 128));
    Pixels.Line(0, 0, 5, 5, TSmooth::Yes, AlphaColor(0xFF, 255));
    TPixels Source(2, 2);
    Pixels.Compose(0, 0, Source);
    EXPECT_TRUE(Pixels.ClipRect().IsEmpty());
}

TEST(Pixels, RowsAreStoredBottomUp) {
    TPixels Pixels(3, 2);
    EXPECT_EQ(Pixels.Stride(), -12);
    EXPECT_EQ(Pixels.TopRow(), Pixels.Buffer() + 12);
    Pixels.FillAll(0);
    Pixels.FillRect({0, 0, 3, 1}, AlphaColor(MakeColor(1, 2, 3), 4));
    // The top row is the last one in memory.
    EXPECT_EQ(Pixels.Buffer()[12], 3); // blue first
    EXPECT_EQ(Pixels.Buffer()[14], 1);
    EXPECT_EQ(Pixels.Buffer()[15], 4);
    EXPECT_EQ(Pixels.Buffer()[0], 0);
    TPixelView View = Pixels.View();
    EXPECT_EQ(View.Pixels, Pixels.TopRow());
    EXPECT_EQ(View.Stride, -12);
}

TEST(Pixels, ResizeResetsClipAndOrigin) {
    TPixels Pixels(10, 10);
    Pixels.SetClipRect({-5, 2, 4, 30});
    EXPECT_EQ(Pixels.ClipRect(), (TRect{0, 2, 4, 10}));
    Pixels.Origin = {3, 3};
    Pixels.SetSize(8, 8);
    EXPECT_EQ(Pixels.ClipRect(), (TRect{0, 0, 8, 8}));
    EXPECT_EQ(Pixels.Origin, (TPoint{0, 0}));
}

TEST(Pixels, StateSaverRestoresClipAndOrigin) {
    TPixels Pixels(10, 10);
    Pixels.SetClipRect({1, 1, 9, 9});
    Pixels.Origin = {2, 3};
    {
        TPixelsStateSaver Saver(Pixels);
        Pixels.SetClipRect({4, 4, 5, 5});
        Pixels.Origin = {-1, -1};
    }
    EXPECT_EQ(Pixels.ClipRect(), (TRect{1, 1, 9, 9}));
    EXPECT_EQ(Pixels.Origin, (TPoint{2, 3}));
}

TEST(Pixels, GetPixelAddsOriginAndAnswersZeroOutside) {
    TPixels Pixels = Pattern(4, 4);
    Pixels.Origin = {1, 2};
    EXPECT_EQ(Pixels.GetPixel(0, 0), At(Pixels, 1, 2));
    EXPECT_EQ(Pixels.GetPixel(3, 0), 0u);
    EXPECT_EQ(Pixels.GetPixel(-2, 0), 0u);
}

struct TAlphaKindCase {
    std::vector<uint8_t> Alphas;
    TAlphaKind Expected;
};

class AlphaKindTest : public testing::TestWithParam<TAlphaKindCase> {};

TEST_P(AlphaKindTest, ScansEveryPixelNotOnlyTheClip) {
    const auto& Case = GetParam();
    TPixels Pixels(int32_t(Case.Alphas.size()), 1);
    for (size_t I = 0; I < Case.Alphas.size(); ++I)
        Put(Pixels, int32_t(I), 0, Bgra(9, 9, 9, Case.Alphas[I]));
    Pixels.SetClipRect({0, 0, 1, 1});
    EXPECT_EQ(Pixels.AlphaKind(), Case.Expected);
    EXPECT_EQ(Pixels.IsTransparent(), Case.Expected != TAlphaKind::Opaque);
}

INSTANTIATE_TEST_SUITE_P(Kinds, AlphaKindTest,
                         testing::Values(TAlphaKindCase{{0, 0, 0}, TAlphaKind::Transparent},
                                         TAlphaKindCase{{255, 255}, TAlphaKind::Opaque},
                                         TAlphaKindCase{{255, 0, 255}, TAlphaKind::Mask},
                                         TAlphaKindCase{{255, 0, 1}, TAlphaKind::Translucent},
                                         TAlphaKindCase{{255, 255, 254}, TAlphaKind::Translucent}));

// A plain fill: what it does to a pixel inside, given the rectangle it takes.
struct TFillCase {
    const char* Name;
    void (*Fill)(TPixels&, const TRect&);
    TPixel Before;
    TPixel After;
};

class FillTest : public testing::TestWithParam<TFillCase> {};

TEST_P(FillTest, WritesInsideTheMovedRectangleAndTheClipOnly) {
    const auto& Case = GetParam();
    TPixels Pixels(8, 6);
    for (int32_t Y = 0; Y < 6; ++Y)
        for (int32_t X = 0; X < 8; ++X)
            Put(Pixels, X, Y, Case.Before);
    Pixels.SetClipRect({0, 0, 6, 6});
    Pixels.Origin = {1, 1};
    Case.Fill(Pixels, {2, 1, 9, 3}); // placed at (3, 2)-(10, 4), clipped to x < 6
    TRect Inside{3, 2, 6, 4};
    for (int32_t Y = Inside.Top; Y < Inside.Bottom; ++Y)
        for (int32_t X = Inside.Left; X < Inside.Right; ++X)
            ASSERT_EQ(At(Pixels, X, Y), Case.After) << X << "," << Y;
    EXPECT_TRUE(UnchangedOutside(Pixels, Inside, Case.Before));
}

INSTANTIATE_TEST_SUITE_P(
    Fills, FillTest,
    testing::Values(
        TFillCase{"FillRect", [](TPixels& P, const TRect& R) { P.FillRect(R, AlphaColor(MakeColor(10, 20, 30), 40)); },
                  Bgra(1, 2, 3, 4), Bgra(10, 20, 30, 40)},
        TFillCase{"FillRectRGB",
                  [](TPixels& P, const TRect& R) { P.FillRectRGB(R, AlphaColor(MakeColor(10, 20, 30), 40)); },
                  Bgra(1, 2, 3, 4), Bgra(10, 20, 30, 4)},
        TFillCase{"SetAlpha", [](TPixels& P, const TRect& R) { P.SetAlpha(R, 99); }, Bgra(1, 2, 3, 4),
                  Bgra(1, 2, 3, 99)},
        TFillCase{"ScaleAlpha", [](TPixels& P, const TRect& R) { P.ScaleAlpha(R, 128); }, Bgra(1, 2, 3, 200),
                  Bgra(1, 2, 3, 100)},
        TFillCase{"ScaleAlphaByZero", [](TPixels& P, const TRect& R) { P.ScaleAlpha(R, 0); }, Bgra(1, 2, 3, 200),
                  Bgra(1, 2, 3, 0)},
        TFillCase{"BlendRectOpaqueIsAPlainFill",
                  [](TPixels& P, const TRect& R) { P.BlendRect(R, AlphaColor(MakeColor(10, 20, 30), 255)); },
                  Bgra(1, 2, 3, 4), Bgra(10, 20, 30, 255)},
        TFillCase{"BlendRectHalfOverBlack",
                  [](TPixels& P, const TRect& R) { P.BlendRect(R, AlphaColor(MakeColor(255, 0, 0), 128)); },
                  Bgra(0, 0, 0, 255), Bgra(128, 0, 0, 255)},
        TFillCase{"BlendRectTransparentDrawsNothing",
                  [](TPixels& P, const TRect& R) { P.BlendRect(R, AlphaColor(MakeColor(255, 0, 0), 0)); },
                  Bgra(5, 6, 7, 8), Bgra(5, 6, 7, 8)},
        // c := C + Mul[alpha][c - C]: 100 + Mul[128][100] = 150; 0 + Mul[128][200]... per channel.
        TFillCase{"FlattenOntoWhite", [](TPixels& P, const TRect& R) { P.Flatten(R, MakeColor(255, 255, 255, 0)); },
                  Bgra(0, 100, 255, 128), Bgra(127, 177, 255, 255)},
        TFillCase{"PixelOpDarken", [](TPixels& P, const TRect& R) { P.PixelOp(R, AlphaColor(0, 255), DarkenOp, 0); },
                  Bgra(90, 80, 70, 60), Bgra(90, 80, 70, 60)}),
    [](const testing::TestParamInfo<TFillCase>& Info) { return std::string(Info.param.Name); });

TEST(Pixels, ClearAndInvertAlphaWorkInsideTheClipOnly) {
    TPixels Pixels(4, 4);
    Pixels.FillAll(AlphaColor(MakeColor(1, 2, 3), 10));
    Pixels.SetClipRect({1, 1, 3, 3});
    Pixels.InvertAlpha();
    EXPECT_EQ(At(Pixels, 1, 1), Bgra(1, 2, 3, 245));
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(1, 2, 3, 10));
    Pixels.Clear();
    EXPECT_EQ(At(Pixels, 2, 2), 0u);
    EXPECT_EQ(At(Pixels, 3, 3), Bgra(1, 2, 3, 10));
}

TEST(Pixels, FrameAndBandLeaveTheInsideAlone) {
    TPixels Pixels(6, 6);
    Pixels.FillAll(0);
    Pixels.FrameRect({1, 1, 5, 5}, AlphaColor(0xFF, 255));
    for (int32_t Y = 0; Y < 6; ++Y)
        for (int32_t X = 0; X < 6; ++X) {
            bool OnFrame = (X >= 1 && X <= 4 && Y >= 1 && Y <= 4) && (X == 1 || X == 4 || Y == 1 || Y == 4);
            ASSERT_EQ(At(Pixels, X, Y), OnFrame ? Bgra(255, 0, 0) : 0u) << X << "," << Y;
        }
    Pixels.FillAll(0);
    Pixels.BlendBand({0, 0, 6, 6}, {2, 2, 4, 3}, AlphaColor(0xFF00, 255));
    EXPECT_EQ(At(Pixels, 2, 2), 0u);
    EXPECT_EQ(At(Pixels, 3, 2), 0u);
    EXPECT_EQ(At(Pixels, 2, 3), Bgra(0, 255, 0));
    EXPECT_EQ(At(Pixels, 0, 2), Bgra(0, 255, 0));
    EXPECT_EQ(At(Pixels, 5, 5), Bgra(0, 255, 0));
}

TEST(Pixels, CopiesCarryPixelsClipAndOrigin) {
    TPixels Pixels = Pattern(5, 3);
    Pixels.SetClipRect({1, 0, 3, 2});
    Pixels.Origin = {4, 5};
    TPixels Copy(Pixels);
    EXPECT_EQ(Copy.ClipRect(), Pixels.ClipRect());
    EXPECT_EQ(Copy.Origin, Pixels.Origin);
    for (int32_t Y = 0; Y < 3; ++Y)
        for (int32_t X = 0; X < 5; ++X)
            ASSERT_EQ(At(Copy, X, Y), At(Pixels, X, Y));
}

TEST(Pixels, PremultipliedAndFlattenedExports) {
    TPixels Pixels(2, 1);
    Put(Pixels, 0, 0, Bgra(200, 100, 50, 128));
    Put(Pixels, 1, 0, Bgra(200, 100, 50, 0));
    std::vector<uint32_t> Target(4, 0x12345678u);
    TPixelView View{reinterpret_cast<uint8_t*>(Target.data()), 2, 2, 8};
    Pixels.CopyToBitmap32(0, 1, View);
    EXPECT_EQ(Target[0], 0x12345678u);
    EXPECT_EQ(Target[2], Bgra(100, 50, 25, 128));
    EXPECT_EQ(Target[3], Bgra(0, 0, 0, 0));
    Pixels.DrawOnBitmap(0, 0, MakeColor(0, 0, 0), View);
    EXPECT_EQ(Target[0], Bgra(100, 50, 25, 255));
    EXPECT_EQ(Target[1], Bgra(0, 0, 0, 255));
}
