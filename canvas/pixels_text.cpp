#include "canvas/pixels.h"

#include "canvas/blend_tables.h"
#include "canvas/canvas_font.h"
#include "canvas/over_rule.h"
#include "canvas/text_attr.h"
#include "platform/text/text_layout.h"
#include "platform/text/text_painter.h"
#include "platform/text/utf8.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Text is drawn as a mask first: the glyphs go into a one-bit mask (a
// coverage byte of 128 or more counts as lit), eight times larger in each
// direction when the layout is oversampled. Each target pixel then takes the
// colour with, as alpha, the share of its 8 x 8 lit sub-samples (or the
// colour's alpha where its one sample is lit), and is composed over the
// raster.

namespace {

bool IsWordBreak(char32_t Character) {
    return Character == '\t' || Character == '\n' || Character == '\r' || Character == ' ';
}

int32_t FloorDiv(int32_t A, int32_t B) {
    return A >= 0 ? A / B : -((-A + B - 1) / B);
}

} // namespace

void TPixels::DrawText(int32_t X, int32_t Y, TSmooth Smooth, TColor Color, const TTextAttr& Attr,
                       std::string_view Text) {
    uint32_t Alpha = Color >> 24;
    if (Alpha == 0 || Text.empty() || FClipRect.IsEmpty())
        return;
    TTextInfo Info;
    MeasureText(Text, Attr, Smooth == TSmooth::Yes ? TTextMode::Oversampled : TTextMode::Plain, Info);
    int32_t Scale = Info.AntiAliased ? 8 : 1;
    int32_t PlacedX = X + Origin.X, PlacedY = Y + Origin.Y;
    TRect Ink{FloorDiv(Info.InkRect.Left, Scale), FloorDiv(Info.InkRect.Top, Scale),
              FloorDiv(Info.InkRect.Right + Scale - 1, Scale), FloorDiv(Info.InkRect.Bottom + Scale - 1, Scale)};
    TRect Visible = Ink.Translated(PlacedX, PlacedY).Intersected(FClipRect);
    if (Visible.IsEmpty())
        return;

    // The mask covers the visible part, in layout units.
    int32_t MaskWidth = Visible.Width() * Scale, MaskHeight = Visible.Height() * Scale;
    int32_t MaskLeft = (Visible.Left - PlacedX) * Scale, MaskTop = (Visible.Top - PlacedY) * Scale;
    static std::vector<uint8_t> Mask; // reused: text is drawn on the user-interface thread only
    Mask.assign(size_t(MaskWidth) * size_t(MaskHeight), 0);
    TCoverageView View{Mask.data(), MaskWidth, MaskHeight, MaskWidth};

    const TCanvasFont& Font = CanvasFont(Attr, Scale);
    std::string Word;
    for (int32_t I = 0; I < Info.CharCount;) {
        if (IsWordBreak(Info.Characters[size_t(I)])) {
            ++I;
            continue;
        }
        int32_t First = I;
        Word.clear();
        for (; I < Info.CharCount && !IsWordBreak(Info.Characters[size_t(I)]); ++I)
            AppendUtf8(Word, Info.Characters[size_t(I)]);
        TPoint Start = Info.Positions[size_t(First)];
        TPoint Last = Info.Positions[size_t(I - 1)];
        int32_t Right = Last.X + Font.Widths(Info.Characters[size_t(I - 1)]).Advance + Info.FontHeight;
        if (Start.Y + Info.FontHeight <= MaskTop || Start.Y >= MaskTop + MaskHeight ||
            Right <= MaskLeft || Start.X - Info.FontHeight >= MaskLeft + MaskWidth)
            continue;
        TTextLayout Layout(Font.Font, Word);
        DrawTextCoverage(View, Layout, Start.X - MaskLeft, Start.Y - MaskTop);
    }

    const TBlendTables& T = BlendTables();
    TPixel Value = ColorToPixel(Color) & 0x00FFFFFFu;
    for (int32_t Row = 0; Row < Visible.Height(); ++Row) {
        TPixel* To = RowPixels(Visible.Top + Row) + Visible.Left;
        if (Scale == 1) {
            const uint8_t* Lit = Mask.data() + size_t(Row) * size_t(MaskWidth);
            for (int32_t Column = 0; Column < Visible.Width(); ++Column)
                if (Lit[Column] >= 128)
                    To[Column] = ComposePixel(T, Value | Alpha << 24, To[Column]);
            continue;
        }
        const uint8_t* Block = Mask.data() + size_t(Row) * 8 * size_t(MaskWidth);
        for (int32_t Column = 0; Column < Visible.Width(); ++Column) {
            uint32_t Count = 0;
            for (int32_t Sub = 0; Sub < 8; ++Sub) {
                const uint8_t* Samples = Block + size_t(Sub) * size_t(MaskWidth) + size_t(Column) * 8;
                for (int32_t K = 0; K < 8; ++K)
                    Count += Samples[K] >> 7;
            }
            if (Count)
                To[Column] = ComposePixel(T, Value | uint32_t(T.Mul[Alpha][T.Coverage[Count]]) << 24, To[Column]);
        }
    }
}
