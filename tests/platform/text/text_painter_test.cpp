// Drawing laid-out text into caller buffers: colours with alpha, edges,
// underlines, glyph adjustments and clipping, checked on small rasters.

#include "platform/text/text_painter.h"

#include "platform/graphics/color.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr TColor Red = MakeColor(255, 0, 0);
constexpr TColor Black = MakeColor(0, 0, 0);

struct TPixel {
    uint8_t B, G, R, A;
};

// A BGRA raster with a one-pixel border of its own beyond the view, so that
// writes outside the view would show.
class TRaster {
public:
    TRaster(int32_t Width, int32_t Height, TColor Fill = 0)
        : FWidth(Width), FHeight(Height), FPixels(size_t(Width + 2) * size_t(Height + 2) * 4) {
        for (int32_t Y = -1; Y <= Height; ++Y)
            for (int32_t X = -1; X <= Width; ++X)
                Set(X, Y, X < 0 || Y < 0 || X >= Width || Y >= Height ? 0x5A5A5A5Au : Fill);
    }

    TPixelView View() { return {At(0, 0), FWidth, FHeight, (FWidth + 2) * 4}; }
    TPixel Pixel(int32_t X, int32_t Y) const {
        const uint8_t* P = At(X, Y);
        return {P[0], P[1], P[2], P[3]};
    }
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }

    template <class TPredicate>
    int32_t Count(TPredicate Predicate) const {
        int32_t N = 0;
        for (int32_t Y = 0; Y < FHeight; ++Y)
            for (int32_t X = 0; X < FWidth; ++X)
                N += Predicate(Pixel(X, Y)) ? 1 : 0;
        return N;
    }
    // The smallest rectangle holding every pixel whose alpha differs from Background's.
    TRect Ink(uint8_t BackgroundAlpha = 0) const {
        TRect R{FWidth, FHeight, 0, 0};
        for (int32_t Y = 0; Y < FHeight; ++Y)
            for (int32_t X = 0; X < FWidth; ++X)
                if (Pixel(X, Y).A != BackgroundAlpha) {
                    R.Left = std::min(R.Left, X);
                    R.Top = std::min(R.Top, Y);
                    R.Right = std::max(R.Right, X + 1);
                    R.Bottom = std::max(R.Bottom, Y + 1);
                }
        return R;
    }
    bool BorderUntouched() const {
        for (int32_t Y = -1; Y <= FHeight; ++Y)
            for (int32_t X = -1; X <= FWidth; ++X)
                if ((X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) &&
                    std::memcmp(At(X, Y), "\x5A\x5A\x5A\x5A", 4) != 0)
                    return false;
        return true;
    }
    bool operator==(const TRaster& Other) const { return FPixels == Other.FPixels; }

private:
    uint8_t* At(int32_t X, int32_t Y) {
        return FPixels.data() + (size_t(Y + 1) * size_t(FWidth + 2) + size_t(X + 1)) * 4;
    }
    const uint8_t* At(int32_t X, int32_t Y) const {
        return FPixels.data() + (size_t(Y + 1) * size_t(FWidth + 2) + size_t(X + 1)) * 4;
    }
    void Set(int32_t X, int32_t Y, TColor C) { ColorToBgra(C, At(X, Y)); }

    int32_t FWidth, FHeight;
    std::vector<uint8_t> FPixels;
};

TTextPaint PaintIn(TColor Color) {
    TTextPaint Paint;
    Paint.Color = Color;
    return Paint;
}

TRaster Drawn(const char* Text, double Size = 20) {
    TRaster Raster(48, 32);
    TTextLayout Layout(TFont({"Arial", Size}), Text);
    DrawText(Raster.View(), Layout, 8, 2, PaintIn(Black));
    return Raster;
}

} // namespace

TEST(TextPainter, TextShowsInItsColourInsideItsBoxWithStraightAlpha) {
    TRaster Raster(120, 40);
    TTextLayout Layout(TFont({"Arial", 20}), "Hello");
    DrawText(Raster.View(), Layout, 10, 5, PaintIn(Red));
    EXPECT_GT(Raster.Count([](TPixel P) { return P.A == 255; }), 40);
    // Anti-aliased edges keep the text's colour and carry the coverage in alpha.
    EXPECT_GT(Raster.Count([](TPixel P) { return P.A > 0 && P.A < 255; }), 20);
    EXPECT_EQ(Raster.Count([](TPixel P) { return P.A > 0 && (P.R != 255 || P.G || P.B); }), 0);
    TRect Ink = Raster.Ink();
    EXPECT_GE(Ink.Left, 10);
    EXPECT_LE(Ink.Right, 10 + int32_t(Layout.Width()) + 2);
    EXPECT_GE(Ink.Top, 5);
    EXPECT_LE(Ink.Bottom, 5 + int32_t(Layout.Height()) + 1);
    EXPECT_TRUE(Raster.BorderUntouched());
}

TEST(TextPainter, TranslucentColourLimitsTheAlpha) {
    TRaster Raster(120, 40);
    DrawText(Raster.View(), TTextLayout(TFont({"Arial", 20}), "Hello"), 10, 5,
             PaintIn(MakeColor(255, 0, 0, 128)));
    EXPECT_GT(Raster.Count([](TPixel P) { return P.A == 128; }), 40);
    EXPECT_EQ(Raster.Count([](TPixel P) { return P.A > 128; }), 0);
}

TEST(TextPainter, TextOverAnOpaquePictureMixesAtItsEdges) {
    TRaster Raster(120, 40, MakeColor(0, 0, 255));
    DrawText(Raster.View(), TTextLayout(TFont({"Arial", 20}), "Hello"), 10, 5, PaintIn(Red));
    EXPECT_EQ(Raster.Count([](TPixel P) { return P.A != 255; }), 0);
    EXPECT_GT(Raster.Count([](TPixel P) { return P.R == 255 && P.B == 0; }), 40);
    EXPECT_GT(Raster.Count([](TPixel P) { return P.R > 40 && P.B > 40; }), 10);
    TPixel Corner = Raster.Pixel(0, 0);
    EXPECT_EQ(Corner.B, 255);
    EXPECT_EQ(Corner.R, 0);
}

TEST(TextPainter, EdgeSurroundsTheLettersBeneathTheFill) {
    TTextLayout Layout(TFont({"Arial", 20}), "Hello");
    TRaster Plain(120, 40), Edged(120, 40);
    DrawText(Plain.View(), Layout, 10, 5, PaintIn(Red));
    TTextPaint Paint = PaintIn(Red);
    Paint.EdgeColor = MakeColor(0, 0, 255);
    Paint.EdgeWidth = 2;
    DrawText(Edged.View(), Layout, 10, 5, Paint);
    int32_t Covered = Plain.Count([](TPixel P) { return P.A > 0; });
    EXPECT_GT(Edged.Count([](TPixel P) { return P.A > 0; }), Covered * 3 / 2);
    EXPECT_GT(Edged.Count([](TPixel P) { return P.A == 255 && P.B == 255 && P.R == 0; }), 40);
    // The fill stays on top where the letters are.
    EXPECT_GT(Edged.Count([](TPixel P) { return P.A == 255 && P.R == 255 && P.B == 0; }), 20);
    TRect Inner = Plain.Ink(), Outer = Edged.Ink();
    EXPECT_LE(Outer.Left, Inner.Left - 1);
    EXPECT_GE(Outer.Right, Inner.Right + 1);
}

TEST(TextPainter, TransparentEdgeColourDrawsNoEdge) {
    TTextLayout Layout(TFont({"Arial", 20}), "Hello");
    TRaster Plain(120, 40), WithClearEdge(120, 40);
    DrawText(Plain.View(), Layout, 10, 5, PaintIn(Red));
    TTextPaint Paint = PaintIn(Red);
    Paint.EdgeColor = MakeColor(0, 0, 0, 0);
    Paint.EdgeWidth = 3;
    DrawText(WithClearEdge.View(), Layout, 10, 5, Paint);
    EXPECT_TRUE(Plain == WithClearEdge);
}

TEST(TextPainter, UnderlineRunsUnbrokenBelowTheBaseline) {
    TFontRequest Request{"Arial", 20};
    Request.Underline = true;
    TFont Underlined(Request);
    TTextLayout Layout(Underlined, "Hi Hi");
    TRaster Raster(120, 40);
    DrawText(Raster.View(), Layout, 10, 5, PaintIn(Black));
    auto Row = int32_t(5 + Layout.Lines()[0].Baseline + Underlined.Metrics().UnderlinePosition);
    int32_t Run = 0;
    for (int32_t X = 0; X < Raster.Width(); ++X)
        Run += Raster.Pixel(X, Row).A > 128 ? 1 : 0;
    EXPECT_GE(Run, int32_t(Layout.Width()) - 2);
    // Without the underline the blank between the words leaves that row open.
    TRaster Plain(120, 40);
    DrawText(Plain.View(), TTextLayout(TFont({"Arial", 20}), "Hi Hi"), 10, 5, PaintIn(Black));
    int32_t PlainRun = 0;
    for (int32_t X = 0; X < Plain.Width(); ++X)
        PlainRun += Plain.Pixel(X, Row).A > 128 ? 1 : 0;
    EXPECT_LT(PlainRun, Run / 2);
}

TEST(TextPainter, GreekAndCyrillicDrawTheirOwnGlyphsNotEmptyBoxes) {
    // Characters no face has all draw the same .notdef box.
    EXPECT_TRUE(Drawn("\uE000") == Drawn("\uE001"));
    TRaster Box = Drawn("\uE000");
    for (const char* Letter : {"Ω", "λ", "Ж", "я"}) {
        TRaster Glyph = Drawn(Letter);
        EXPECT_GT(Glyph.Count([](TPixel P) { return P.A > 0; }), 10) << Letter;
        EXPECT_FALSE(Glyph == Box) << Letter;
    }
    EXPECT_FALSE(Drawn("Ω") == Drawn("Ж"));
}

TEST(TextPainter, AdjusterMovesAndHidesSingleGlyphs) {
    TTextLayout Layout(TFont({"Arial", 20}), "ab");
    TRaster Hidden(120, 40);
    DrawText(Hidden.View(), Layout, 10, 5, PaintIn(Black), [](size_t, const TLayoutGlyph&) {
        return TGlyphAdjustment{0, 0, 0};
    });
    EXPECT_EQ(Hidden.Count([](TPixel P) { return P.A > 0; }), 0);

    TRaster Still(120, 40), Moved(120, 40);
    DrawText(Still.View(), Layout, 10, 5, PaintIn(Black));
    DrawText(Moved.View(), Layout, 10, 5, PaintIn(Black), [](size_t, const TLayoutGlyph&) {
        return TGlyphAdjustment{30, 4, 1};
    });
    TRect A = Still.Ink(), B = Moved.Ink();
    EXPECT_EQ(B.Left - A.Left, 30);
    EXPECT_EQ(B.Top - A.Top, 4);

    TRaster SecondOnly(120, 40);
    DrawText(SecondOnly.View(), Layout, 10, 5, PaintIn(Black),
             [](size_t Index, const TLayoutGlyph&) {
                 return TGlyphAdjustment{0, 0, Index == 1 ? 1.0 : 0.0};
             });
    EXPECT_GT(SecondOnly.Ink().Left, A.Left + 3);
}

TEST(TextPainter, TextReachingBeyondTheBufferIsClipped) {
    TRaster Raster(30, 12);
    TTextLayout Layout(TFont({"Arial", 24}), "Wide text");
    TTextPaint Paint = PaintIn(Black);
    Paint.EdgeColor = Red;
    Paint.EdgeWidth = 2;
    DrawText(Raster.View(), Layout, -15, -10, Paint);
    DrawText(Raster.View(), Layout, 20, 6, Paint);
    EXPECT_GT(Raster.Count([](TPixel P) { return P.A > 0; }), 0);
    EXPECT_TRUE(Raster.BorderUntouched());
}
