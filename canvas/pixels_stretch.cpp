#include "canvas/pixels.h"

#include "canvas/blend_tables.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Scaling a picture into a rectangle: the nearest source pixel, or (smooth)
// two separable passes, one per axis, that interpolate when enlarging and
// average when shrinking, always weighting colours by alpha so that
// transparent pixels lend no colour to their neighbours.

namespace {

// A*B/C in 64 bits, truncated toward zero.
int64_t MulDiv(int64_t A, int64_t B, int64_t C) {
    return A * B / C;
}

enum class TAxisMode { Copy, Enlarge, Shrink };

struct TTap {
    int32_t Index; // source pixel along the axis
    uint8_t Weight;
};

// Which source pixels, with which weights, make each visible target pixel
// along one axis.
struct TAxisPlan {
    TAxisMode Mode = TAxisMode::Copy;
    std::vector<int32_t> TapStart; // Count + 1 entries into Taps
    std::vector<TTap> Taps;
    std::vector<uint32_t> Span; // shrinking: the sum of a pixel's weights
    int32_t First = 0;          // the source span used
    int32_t Last = -1;

    int32_t Count() const { return int32_t(TapStart.size()) - 1; }
};

// Target pixels From..To-1 of Target along an axis with Source pixels.
TAxisPlan PlanAxis(int32_t Source, int32_t Target, int32_t From, int32_t To) {
    TAxisPlan Plan;
    Plan.Mode = Source == Target ? TAxisMode::Copy : Target > Source ? TAxisMode::Enlarge : TAxisMode::Shrink;
    Plan.First = INT32_MAX;
    Plan.Last = INT32_MIN;
    auto Add = [&](int32_t Index, uint32_t Weight) {
        if (Weight == 0 || Index < 0 || Index >= Source)
            return;
        Plan.Taps.push_back({Index, uint8_t(Weight)});
        Plan.First = std::min(Plan.First, Index);
        Plan.Last = std::max(Plan.Last, Index);
    };
    for (int32_t T = From; T < To; ++T) {
        Plan.TapStart.push_back(int32_t(Plan.Taps.size()));
        switch (Plan.Mode) {
        case TAxisMode::Copy:
            Add(T, 255);
            break;
        case TAxisMode::Enlarge: {
            int64_t P = MulDiv(T, 256 * int64_t(Source), Target) + (128 * int64_t(Source) / Target - 128);
            auto Left = int32_t(P >> 8); // floor: -1 before the first pixel
            auto Fraction = uint32_t(P & 255);
            Add(Left, P < 0 ? 0 : 255 - Fraction);
            Add(Left + 1, Left >= Source - 1 ? 0 : Fraction);
            break;
        }
        case TAxisMode::Shrink: {
            // The span in 1/255 pixel steps.
            int64_t Start = MulDiv(T, 255 * int64_t(Source), Target);
            int64_t End = MulDiv(T + 1, 255 * int64_t(Source), Target);
            auto FirstPixel = int32_t(Start / 255), LastPixel = int32_t((End - 1) / 255);
            if (FirstPixel == LastPixel) {
                Add(FirstPixel, uint32_t(End - Start));
            } else {
                Add(FirstPixel, uint32_t(255 * int64_t(FirstPixel + 1) - Start));
                for (int32_t I = FirstPixel + 1; I < LastPixel; ++I)
                    Add(I, 255);
                Add(LastPixel, uint32_t(End - 255 * int64_t(LastPixel)));
            }
            Plan.Span.push_back(uint32_t(End - Start));
            break;
        }
        }
    }
    Plan.TapStart.push_back(int32_t(Plan.Taps.size()));
    if (Plan.Last < Plan.First)
        Plan.First = 0, Plan.Last = -1;
    return Plan;
}

// Rows of pixels, top-down or bottom-up.
struct TImage {
    const TPixel* Top = nullptr;
    ptrdiff_t Stride = 0; // in pixels
    const TPixel* Row(int32_t Y) const { return Top + ptrdiff_t(Y) * Stride; }
};

struct TOwnedImage {
    std::vector<TPixel> Pixels;
    int32_t Width = 0;
    TImage View() const { return {Pixels.data(), Width}; }
};

// Sums of one target pixel's weighted samples.
struct TSum {
    uint32_t B = 0, G = 0, R = 0, Weight = 0;
    void Add(const TBlendTables& T, TPixel P, uint8_t TapWeight) {
        uint32_t G8 = TapWeight == 255 ? P >> 24 : T.Mul[TapWeight][P >> 24];
        B += (P & 0xFF) * G8;
        G += (P >> 8 & 0xFF) * G8;
        R += (P >> 16 & 0xFF) * G8;
        Weight += G8;
    }
    TPixel Result(const TAxisPlan& Plan, int32_t Target) const {
        if (Weight == 0)
            return 0;
        uint32_t Alpha = Weight;
        if (Plan.Mode == TAxisMode::Shrink) {
            uint32_t H = Plan.Span[size_t(Target)];
            Alpha = (255 * Weight + H / 2) / H;
        }
        Alpha = std::min(Alpha, 255u);
        return (B / Weight) | (G / Weight) << 8 | (R / Weight) << 16 | Alpha << 24;
    }
};

// Along rows: target columns of Plan from the input's columns (Plan's
// indices minus ColumnOffset), for Rows rows starting at input row RowFirst.
TOwnedImage HorizontalPass(const TBlendTables& T, const TImage& In, int32_t ColumnOffset,
                           const TAxisPlan& Plan, int32_t RowFirst, int32_t Rows) {
    TOwnedImage Out;
    Out.Width = Plan.Count();
    Out.Pixels.resize(size_t(Out.Width) * size_t(Rows));
    for (int32_t Y = 0; Y < Rows; ++Y) {
        const TPixel* From = In.Row(RowFirst + Y) - ColumnOffset;
        TPixel* To = Out.Pixels.data() + size_t(Y) * size_t(Out.Width);
        for (int32_t X = 0; X < Out.Width; ++X) {
            int32_t Begin = Plan.TapStart[size_t(X)], End = Plan.TapStart[size_t(X) + 1];
            if (Plan.Mode == TAxisMode::Copy) {
                To[X] = From[Plan.Taps[size_t(Begin)].Index];
                continue;
            }
            TSum Sum;
            for (int32_t I = Begin; I < End; ++I)
                Sum.Add(T, From[Plan.Taps[size_t(I)].Index], Plan.Taps[size_t(I)].Weight);
            To[X] = Sum.Result(Plan, X);
        }
    }
    return Out;
}

// Along columns: target rows of Plan from the input's rows (Plan's indices
// minus RowOffset), for Columns columns starting at input column ColumnFirst.
TOwnedImage VerticalPass(const TBlendTables& T, const TImage& In, int32_t RowOffset,
                         const TAxisPlan& Plan, int32_t ColumnFirst, int32_t Columns) {
    TOwnedImage Out;
    Out.Width = Columns;
    Out.Pixels.resize(size_t(Columns) * size_t(Plan.Count()));
    std::vector<TSum> Sums(static_cast<size_t>(Columns));
    for (int32_t Y = 0; Y < Plan.Count(); ++Y) {
        TPixel* To = Out.Pixels.data() + size_t(Y) * size_t(Columns);
        int32_t Begin = Plan.TapStart[size_t(Y)], End = Plan.TapStart[size_t(Y) + 1];
        if (Plan.Mode == TAxisMode::Copy) {
            std::memcpy(To, In.Row(Plan.Taps[size_t(Begin)].Index - RowOffset) + ColumnFirst,
                        size_t(Columns) * 4);
            continue;
        }
        std::fill(Sums.begin(), Sums.end(), TSum{});
        for (int32_t I = Begin; I < End; ++I) {
            const TPixel* From = In.Row(Plan.Taps[size_t(I)].Index - RowOffset) + ColumnFirst;
            uint8_t Weight = Plan.Taps[size_t(I)].Weight;
            for (int32_t X = 0; X < Columns; ++X)
                Sums[size_t(X)].Add(T, From[X], Weight);
        }
        for (int32_t X = 0; X < Columns; ++X)
            To[X] = Sums[size_t(X)].Result(Plan, Y);
    }
    return Out;
}

} // namespace

void TPixels::StretchFrom(const TRect& Rect, const TPixels& Source, TSmooth Smooth) {
    if (IsEmpty() || Source.IsEmpty())
        return;
    TRect Target = Rect.Translated(Origin);
    TRect Visible = Target.IsEmpty() ? TRect{} : Target.Intersected(FClipRect);
    if (Visible.IsEmpty())
        return;
    if (Target.Size() == Source.Bounds().Size()) {
        CopyFrom(Rect.Left, Rect.Top, Source);
        return;
    }
    if (&Source == this) {
        TPixels Copy(Source);
        StretchFrom(Rect, Copy, Smooth);
        return;
    }
    int32_t Wt = Target.Width(), Ht = Target.Height(), Ws = Source.Width(), Hs = Source.Height();
    if (Smooth == TSmooth::No) {
        std::vector<int32_t> Columns(static_cast<size_t>(Visible.Width()));
        for (int32_t X = Visible.Left; X < Visible.Right; ++X)
            Columns[size_t(X - Visible.Left)] = int32_t(MulDiv(X - Target.Left, Ws, Wt));
        for (int32_t Y = Visible.Top; Y < Visible.Bottom; ++Y) {
            const TPixel* From = Source.RowPixels(int32_t(MulDiv(Y - Target.Top, Hs, Ht)));
            TPixel* To = RowPixels(Y) + Visible.Left;
            for (size_t I = 0; I < Columns.size(); ++I)
                To[I] = From[Columns[I]];
        }
        return;
    }

    const TBlendTables& T = BlendTables();
    TAxisPlan Across = PlanAxis(Ws, Wt, Visible.Left - Target.Left, Visible.Right - Target.Left);
    TAxisPlan Down = PlanAxis(Hs, Ht, Visible.Top - Target.Top, Visible.Bottom - Target.Top);
    TImage In{Source.RowPixels(0), Source.Stride() / 4};
    int64_t SpanWidth = Across.Last - Across.First + 1, SpanHeight = Down.Last - Down.First + 1;
    int64_t VisibleWidth = Visible.Width(), VisibleHeight = Visible.Height();
    TOwnedImage Result;
    if (SpanWidth <= 0 || SpanHeight <= 0) {
        Result.Width = Visible.Width();
        Result.Pixels.assign(size_t(VisibleWidth * VisibleHeight), 0);
    } else if (SpanWidth * VisibleHeight < VisibleWidth * SpanHeight) {
        TOwnedImage Middle = VerticalPass(T, In, 0, Down, Across.First, int32_t(SpanWidth));
        Result = HorizontalPass(T, Middle.View(), Across.First, Across, 0, Visible.Height());
    } else {
        TOwnedImage Middle = HorizontalPass(T, In, 0, Across, Down.First, int32_t(SpanHeight));
        Result = VerticalPass(T, Middle.View(), Down.First, Down, 0, Visible.Width());
    }
    for (int32_t Y = 0; Y < Visible.Height(); ++Y)
        std::memcpy(RowPixels(Visible.Top + Y) + Visible.Left,
                    Result.Pixels.data() + size_t(Y) * size_t(Result.Width), size_t(Visible.Width()) * 4);
}
