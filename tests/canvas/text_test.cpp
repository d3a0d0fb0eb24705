#include "canvas/text_attr.h"

#include "pixels_test_support.h"

#include <gtest/gtest.h>

namespace {

TTextAttr Arial(int32_t Height = -16) {
    TTextAttr Attr;
    Attr.FontName = "Arial";
    Attr.Height = Height;
    return Attr;
}

TTextInfo Measure(std::string_view Text, const TTextAttr& Attr, TTextMode Mode = TTextMode::Plain) {
    TTextInfo Info;
    MeasureText(Text, Attr, Mode, Info);
    return Info;
}

} // namespace

TEST(TextMeasure, CarriageReturnsMakeLinesAndNothingToDraw) {
    TTextInfo Info = Measure("\r\r\r", Arial());
    EXPECT_EQ(Info.LineCount, 4);
    EXPECT_EQ(Info.CharCount, 3);
    EXPECT_TRUE(Info.InkRect.IsEmpty());
    EXPECT_EQ(Info.TotalHeight, 4 * Info.LineHeight);
    EXPECT_GE(Info.LineHeight, Info.FontHeight);
    EXPECT_EQ(Info.Positions[2].Y, 2 * Info.LineHeight);
    TPixels Pixels(20, 20);
    Pixels.Clear();
    Pixels.DrawText(0, 0, TSmooth::Yes, AlphaColor(0xFFFFFF, 255), Arial(), "\r\r\r");
    EXPECT_TRUE(UnchangedOutside(Pixels, {}, 0));
}

TEST(TextMeasure, ATabMovesToTheNextStopStrictlyBeyond) {
    TTextInfo X = Measure("x", Arial());
    int32_t Stop = 8 * X.Width;
    ASSERT_GT(Stop, 0);
    TTextInfo Info = Measure("\tA\tB", Arial());
    EXPECT_EQ(Info.Positions[0].X, 0);
    EXPECT_EQ(Info.Positions[1].X, Stop);
    EXPECT_EQ(Info.Positions[3].X, 2 * Stop);
    TTextInfo AtStop = Measure("\t\t", Arial());
    EXPECT_EQ(AtStop.Width, 2 * Stop);
}

TEST(TextMeasure, LinesAlignAgainstTheWidest) {
    TTextAttr Attr = Arial();
    TTextInfo Left = Measure("WWWW\rii", Attr);
    int32_t Diff = Left.Width - (Left.Positions[6].X + (Left.Positions[6].X - Left.Positions[5].X));
    ASSERT_GT(Diff, 0);
    Attr.Align = TTextAttrAlign::Right;
    TTextInfo Right = Measure("WWWW\rii", Attr);
    EXPECT_EQ(Right.Positions[5].X, Left.Positions[5].X + Diff);
    EXPECT_EQ(Right.Positions[0].X, 0);
    Attr.Align = TTextAttrAlign::Center;
    EXPECT_EQ(Measure("WWWW\rii", Attr).Positions[5].X, Diff / 2);
    // Justify spreads the difference over the spaces; no spaces: left.
    Attr.Align = TTextAttrAlign::Justify;
    TTextInfo Justified = Measure("WWWW\rii", Attr);
    EXPECT_EQ(Justified.Positions[5].X, 0);
    TTextInfo Spaced = Measure("WWWWWW\ri i i", Attr);
    TTextInfo Plain = Measure("WWWWWW\ri i i", Arial());
    EXPECT_EQ(Spaced.Positions[7].X, Plain.Positions[7].X);
    EXPECT_GT(Spaced.Positions[9].X, Plain.Positions[9].X);
    EXPECT_GT(Spaced.Positions[11].X - Spaced.Positions[9].X, Plain.Positions[11].X - Plain.Positions[9].X);
}

TEST(TextMeasure, OversamplingMeasuresInEighths) {
    TTextInfo Plain = Measure("Hello", Arial());
    TTextInfo Fine = Measure("Hello", Arial(), TTextMode::Oversampled);
    EXPECT_FALSE(Plain.AntiAliased);
    EXPECT_TRUE(Fine.AntiAliased);
    EXPECT_NEAR(Fine.Width, 8 * Plain.Width, 8 * 5);
    EXPECT_NEAR(Fine.LineHeight, 8 * Plain.LineHeight, 8);
}

TEST(TextDraw, DrawsInsideTheInkRectangleAndTheClipOnly) {
    TTextAttr Attr = Arial(-20);
    TRect Ink = TextExtent("Hig", Attr);
    ASSERT_FALSE(Ink.IsEmpty());
    for (TSmooth Smooth : {TSmooth::No, TSmooth::Yes}) {
        TPixels Pixels(60, 40);
        Pixels.Clear();
        Pixels.Origin = {2, 3};
        Pixels.DrawText(4, 5, Smooth, AlphaColor(MakeColor(10, 20, 30), 255), Attr, "Hig");
        TRect Placed = Ink.Translated(6, 8).Inflated(1, 1);
        EXPECT_TRUE(UnchangedOutside(Pixels, Placed, 0));
        int32_t Opaque = 0, Partial = 0;
        for (int32_t Y = 0; Y < 40; ++Y)
            for (int32_t X = 0; X < 60; ++X) {
                TPixel P = At(Pixels, X, Y);
                if (!P)
                    continue;
                EXPECT_EQ(P & 0xFFFFFF, Bgra(10, 20, 30) & 0xFFFFFF);
                (P >> 24 == 255 ? Opaque : Partial)++;
            }
        EXPECT_GT(Opaque, 10);
        if (Smooth == TSmooth::No) {
            EXPECT_EQ(Partial, 0);
        } else {
            EXPECT_GT(Partial, 5);
        }

        TPixels Clipped(60, 40);
        Clipped.Clear();
        Clipped.SetClipRect({0, 0, 12, 40});
        Clipped.Origin = {2, 3};
        Clipped.DrawText(4, 5, Smooth, AlphaColor(MakeColor(10, 20, 30), 255), Attr, "Hig");
        for (int32_t Y = 0; Y < 40; ++Y)
            for (int32_t X = 0; X < 60; ++X)
                ASSERT_EQ(At(Clipped, X, Y), X < 12 ? At(Pixels, X, Y) : 0u) << X << "," << Y;
    }
}

TEST(TextDraw, ATranslucentColourScalesTheCoverage) {
    TPixels Pixels(40, 30);
    Pixels.Clear();
    Pixels.DrawText(0, 0, TSmooth::No, AlphaColor(0xFFFFFF, 100), Arial(-20), "H");
    uint32_t Max = 0;
    for (int32_t Y = 0; Y < 30; ++Y)
        for (int32_t X = 0; X < 40; ++X)
            Max = std::max(Max, At(Pixels, X, Y) >> 24);
    EXPECT_EQ(Max, 100u);
}

TEST(TextExtent, WidestAndIntervals) {
    TTextAttr Attr = Arial();
    TSize Widest = TextExtentOfWidest(3, Attr);
    EXPECT_GE(Widest.Width, TextExtent("WWW", Attr).Width() - 3);
    auto Rects = TextExtentOfIntervals("ab cd", Attr, {{0, 1}, {3, 4}, {4, 3}});
    ASSERT_EQ(Rects.size(), 3u);
    EXPECT_EQ(Rects[0].Left, 0);
    EXPECT_GT(Rects[1].Left, Rects[0].Right);
    EXPECT_TRUE(Rects[2].IsEmpty());
}
