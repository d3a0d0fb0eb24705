#include "platform/text/text_painter.h"

#include "platform/graphics/pixel_blend.h"
#include "platform/text/font_data.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct TPlacedGlyph {
    std::shared_ptr<const TGlyphImage> Fill;
    std::shared_ptr<const TGlyphImage> Edge;
    int32_t X; // the pixel column left of the pen, and the baseline row
    int32_t Y;
    double PenX; // the unrounded pen, for the underline
    double Advance;
    uint32_t Opacity; // 0..256
};

uint32_t Scale(uint32_t Alpha, uint32_t Opacity) {
    return (Alpha * Opacity + 128) >> 8;
}

TColor WithAlpha(TColor Color, uint32_t Opacity) {
    return (Color & 0x00FFFFFFu) | (Scale(Color >> 24, Opacity) << 24);
}

void DrawMask(const TPixelView& Target, const TGlyphImage& Image, int32_t X, int32_t Y,
              TColor Color) {
    int32_t Left = X + Image.Left, Top = Y + Image.Top;
    int32_t FromX = std::max(0, -Left), ToX = std::min(Image.Width, Target.Width - Left);
    int32_t FromY = std::max(0, -Top), ToY = std::min(Image.Height, Target.Height - Top);
    for (int32_t Row = FromY; Row < ToY; ++Row) {
        const uint8_t* Coverage = Image.Coverage.data() + size_t(Row) * size_t(Image.Width);
        uint8_t* Out = Target.Row(Top + Row) + ptrdiff_t(Left) * 4;
        for (int32_t Column = FromX; Column < ToX; ++Column)
            if (Coverage[Column])
                BlendCoverage(Out + ptrdiff_t(Column) * 4, Color, Coverage[Column]);
    }
}

// A rectangle with fractional edges, each pixel covered by its overlap.
void FillRect(const TPixelView& Target, double Left, double Top, double Right, double Bottom,
              TColor Color) {
    Left = std::max(Left, 0.0);
    Top = std::max(Top, 0.0);
    Right = std::min(Right, double(Target.Width));
    Bottom = std::min(Bottom, double(Target.Height));
    if (Right <= Left || Bottom <= Top)
        return;
    auto Overlap = [](double From, double To, int32_t Pixel) {
        return std::clamp(std::min(To, Pixel + 1.0) - std::max(From, double(Pixel)), 0.0, 1.0);
    };
    for (auto Y = int32_t(std::floor(Top)); Y < int32_t(std::ceil(Bottom)); ++Y) {
        double CoverY = Overlap(Top, Bottom, Y);
        uint8_t* Row = Target.Row(Y);
        for (auto X = int32_t(std::floor(Left)); X < int32_t(std::ceil(Right)); ++X) {
            auto Coverage = uint32_t(std::lround(CoverY * Overlap(Left, Right, X) * 255));
            if (Coverage)
                BlendCoverage(Row + ptrdiff_t(X) * 4, Color, Coverage);
        }
    }
}

// Where a glyph whose pen stands at (PenX, PenY) is drawn: the whole pixel
// column, the quarter-pixel fraction its bitmap is rendered at, and the row.
// Pens far outside any raster (or not finite) are not drawn at all.
struct TPenPlace {
    int32_t Column = 0;
    int32_t Fraction = 0;
    int32_t Row = 0;
};

std::optional<TPenPlace> PlacePen(double PenX, double PenY) {
    if (!std::isfinite(PenX) || !std::isfinite(PenY) || std::abs(PenX) > 1e7 || std::abs(PenY) > 1e7)
        return std::nullopt;
    double Column = std::floor(PenX);
    auto Fraction = int32_t(std::lround((PenX - Column) * 4));
    if (Fraction == 4) {
        Column += 1;
        Fraction = 0;
    }
    return TPenPlace{int32_t(Column), Fraction, int32_t(std::lround(PenY))};
}

} // namespace

void DrawText(const TPixelView& Target, const TTextLayout& Layout, double X, double Y,
              const TTextPaint& Paint, const TGlyphAdjuster& Adjust) {
    if (Target.IsEmpty() || Layout.IsEmpty())
        return;
    bool WithEdge = (Paint.EdgeColor >> 24) != 0 && Paint.EdgeWidth > 0;
    auto EdgeRadius = int32_t(std::lround(std::clamp(Paint.EdgeWidth, 0.0, 256.0) * 64));
    WithEdge = WithEdge && EdgeRadius > 0;

    const auto& Glyphs = Layout.Glyphs();
    std::vector<TPlacedGlyph> Placed;
    Placed.reserve(Glyphs.size());
    {
        std::lock_guard Guard(TextLibraryLock());
        const TFontData& Font = Layout.Font().Data();
        for (size_t I = 0; I < Glyphs.size(); ++I) {
            const TLayoutGlyph& Glyph = Glyphs[I];
            TGlyphAdjustment Adjustment = Adjust ? Adjust(I, Glyph) : TGlyphAdjustment{};
            auto Opacity = uint32_t(std::lround(std::clamp(Adjustment.Opacity, 0.0, 1.0) * 256));
            if (Opacity == 0)
                continue;
            double PenX = X + Glyph.X + Adjustment.OffsetX;
            double PenY = Y + Glyph.Y + Adjustment.OffsetY;
            std::optional<TPenPlace> Place = PlacePen(PenX, PenY);
            if (!Place)
                continue;
            TFontFace& Face = *Font.FaceAt(Glyph.Face);
            TPlacedGlyph P{Face.Glyph(Glyph.GlyphId, Place->Fraction, 0),
                           WithEdge ? Face.Glyph(Glyph.GlyphId, Place->Fraction, EdgeRadius) : nullptr,
                           Place->Column,
                           Place->Row,
                           PenX,
                           Glyph.Advance,
                           Opacity};
            Placed.push_back(std::move(P));
        }
    }

    const TFontMetrics& Metrics = Layout.Font().Metrics();
    bool Underline = Layout.Font().Request().Underline;
    auto DrawUnderlines = [&](TColor Color, double Grow) {
        if (!Underline)
            return;
        double Half = Metrics.UnderlineThickness / 2 + Grow;
        if (!Adjust) {
            for (const auto& Line : Layout.Lines()) {
                if (Line.GlyphCount == 0)
                    continue;
                double Middle = std::round(Y + Line.Baseline) + Metrics.UnderlinePosition;
                FillRect(Target, X + Line.Left - Grow, Middle - Half,
                         X + Line.Left + Line.Width + Grow, Middle + Half, Color);
            }
            return;
        }
        // Glyph by glyph, each segment ending on whole pixels so that
        // neighbours meet without a seam.
        for (const auto& P : Placed) {
            double Middle = P.Y + Metrics.UnderlinePosition;
            FillRect(Target, std::round(P.PenX) - Grow, Middle - Half,
                     std::round(P.PenX + P.Advance) + Grow, Middle + Half,
                     WithAlpha(Color, P.Opacity));
        }
    };

    if (WithEdge) {
        for (const auto& P : Placed)
            if (P.Edge)
                DrawMask(Target, *P.Edge, P.X, P.Y, WithAlpha(Paint.EdgeColor, P.Opacity));
        DrawUnderlines(Paint.EdgeColor, Paint.EdgeWidth);
    }
    for (const auto& P : Placed)
        DrawMask(Target, *P.Fill, P.X, P.Y, WithAlpha(Paint.Color, P.Opacity));
    DrawUnderlines(Paint.Color, 0);
}

void DrawTextCoverage(const TCoverageView& Target, const TTextLayout& Layout, double X, double Y) {
    if (!Target.Pixels || Target.Width <= 0 || Target.Height <= 0 || Layout.IsEmpty())
        return;
    auto Put = [&](const TGlyphImage& Image, int32_t PenX, int32_t PenY) {
        int32_t Left = PenX + Image.Left, Top = PenY + Image.Top;
        int32_t FromX = std::max(0, -Left), ToX = std::min(Image.Width, Target.Width - Left);
        int32_t FromY = std::max(0, -Top), ToY = std::min(Image.Height, Target.Height - Top);
        for (int32_t Row = FromY; Row < ToY; ++Row) {
            const uint8_t* Coverage = Image.Coverage.data() + size_t(Row) * size_t(Image.Width);
            uint8_t* Out = Target.Pixels + ptrdiff_t(Top + Row) * Target.Stride + Left;
            for (int32_t Column = FromX; Column < ToX; ++Column)
                Out[Column] = std::max(Out[Column], Coverage[Column]);
        }
    };
    {
        std::lock_guard Guard(TextLibraryLock());
        const TFontData& Font = Layout.Font().Data();
        for (const TLayoutGlyph& Glyph : Layout.Glyphs()) {
            double PenX = X + Glyph.X, PenY = Y + Glyph.Y;
            std::optional<TPenPlace> Place = PlacePen(PenX, PenY);
            if (!Place)
                continue;
            auto Image = Font.FaceAt(Glyph.Face)->Glyph(Glyph.GlyphId, Place->Fraction, 0);
            Put(*Image, Place->Column, Place->Row);
        }
    }
    if (!Layout.Font().Request().Underline)
        return;
    const TFontMetrics& Metrics = Layout.Font().Metrics();
    for (const auto& Line : Layout.Lines()) {
        if (Line.GlyphCount == 0)
            continue;
        double Middle = std::round(Y + Line.Baseline) + Metrics.UnderlinePosition;
        auto Top = int32_t(std::lround(Middle - Metrics.UnderlineThickness / 2));
        auto Bottom = std::max(Top + 1, int32_t(std::lround(Middle + Metrics.UnderlineThickness / 2)));
        auto Left = int32_t(std::lround(X + Line.Left));
        auto Right = int32_t(std::lround(X + Line.Left + Line.Width));
        for (int32_t Row = std::max(Top, 0); Row < std::min(Bottom, Target.Height); ++Row)
            for (int32_t Col = std::max(Left, 0); Col < std::min(Right, Target.Width); ++Col)
                Target.Pixels[ptrdiff_t(Row) * Target.Stride + Col] = 255;
    }
}
