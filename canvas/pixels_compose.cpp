#include "canvas/pixels.h"

#include "canvas/blend_tables.h"
#include "canvas/over_rule.h"
#include "canvas/rect_bands.h"

#include <cstring>

template <class TWork>
void TPixels::ForEachSourceRow(int32_t X, int32_t Y, const TRect& Limit, const TPixels& Source,
                               TWork&& Work) {
    if (IsEmpty() || Source.IsEmpty())
        return;
    int32_t PlacedX = X + Origin.X, PlacedY = Y + Origin.Y;
    TRect Area = Source.Bounds().Translated(PlacedX, PlacedY).Intersected(FClipRect).Intersected(Limit);
    if (Area.IsEmpty())
        return;
    const TPixels* From = &Source;
    int32_t FromX = Area.Left - PlacedX, FromY = Area.Top - PlacedY;
    TPixels Copy;
    if (&Source == this && (PlacedX != 0 || PlacedY != 0)) {
        // Overlapping move: work from a copy of the area that will be read.
        Copy.SetSize(Area.Width(), Area.Height());
        for (int32_t Row = 0; Row < Area.Height(); ++Row)
            std::memcpy(Copy.RowPixels(Row), RowPixels(FromY + Row) + FromX, size_t(Area.Width()) * 4);
        From = &Copy;
        FromX = FromY = 0;
    }
    int32_t Count = Area.Width();
    for (int32_t Row = 0; Row < Area.Height(); ++Row)
        Work(RowPixels(Area.Top + Row) + Area.Left, From->RowPixels(FromY + Row) + FromX, Count);
}

namespace {

const TRect Everywhere{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2};

} // namespace

void TPixels::CopyFrom(int32_t X, int32_t Y, const TPixels& Source) {
    ForEachSourceRow(X, Y, Everywhere, Source, [](TPixel* To, const TPixel* From, int32_t Count) {
        std::memmove(To, From, size_t(Count) * 4);
    });
}

void TPixels::CopyAlphaFrom(int32_t X, int32_t Y, const TPixels& Source) {
    ForEachSourceRow(X, Y, Everywhere, Source, [](TPixel* To, const TPixel* From, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            To[I] = (To[I] & 0x00FFFFFFu) | (From[I] & 0xFF000000u);
    });
}

void TPixels::BlendFrom(int32_t X, int32_t Y, const TPixels& Source) {
    const TBlendTables& T = BlendTables();
    ForEachSourceRow(X, Y, Everywhere, Source, [&](TPixel* To, const TPixel* From, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I) {
            TPixel S = From[I];
            auto Sa = uint8_t(S >> 24);
            if (Sa)
                To[I] = BlendPixelColor(T, S, Sa, To[I]);
        }
    });
}

void TPixels::TileFrom(int32_t X, int32_t Y, const TPixels& Source) {
    if (IsEmpty() || Source.IsEmpty() || FClipRect.IsEmpty())
        return;
    if (&Source == this) {
        TPixels Copy(Source);
        TileFrom(X, Y, Copy);
        return;
    }
    const TBlendTables& T = BlendTables();
    int32_t W = Source.Width(), H = Source.Height();
    auto Modulo = [](int64_t Value, int32_t Period) {
        auto Rest = int32_t(Value % Period);
        return Rest < 0 ? Rest + Period : Rest;
    };
    int32_t PhaseX = Modulo(int64_t(X) + Origin.X, W), PhaseY = Modulo(int64_t(Y) + Origin.Y, H);
    for (int32_t Row = FClipRect.Top; Row < FClipRect.Bottom; ++Row) {
        const TPixel* From = Source.RowPixels(Modulo(int64_t(Row) - PhaseY, H));
        TPixel* To = RowPixels(Row);
        int32_t Column = Modulo(int64_t(FClipRect.Left) - PhaseX, W);
        for (int32_t I = FClipRect.Left; I < FClipRect.Right; ++I) {
            TPixel S = From[Column];
            auto Sa = uint8_t(S >> 24);
            if (Sa)
                To[I] = BlendPixelColor(T, S, Sa, To[I]);
            if (++Column == W)
                Column = 0;
        }
    }
}

void TPixels::ComposeLimited(int32_t X, int32_t Y, const TRect& Limit, uint8_t Opacity,
                             const TPixels& Source) {
    if (Opacity == 0)
        return;
    const TBlendTables& T = BlendTables();
    if (Opacity == 255) {
        ForEachSourceRow(X, Y, Limit, Source, [&](TPixel* To, const TPixel* From, int32_t Count) {
            for (int32_t I = 0; I < Count; ++I)
                To[I] = ComposePixel(T, From[I], To[I]);
        });
        return;
    }
    const uint8_t* Fade = T.Mul[Opacity];
    ForEachSourceRow(X, Y, Limit, Source, [&](TPixel* To, const TPixel* From, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            To[I] = ComposePixel(T, WithAlpha(From[I], Fade[From[I] >> 24]), To[I]);
    });
}

void TPixels::Compose(int32_t X, int32_t Y, const TPixels& Source) {
    ComposeLimited(X, Y, Everywhere, 255, Source);
}

void TPixels::ComposeFaded(int32_t X, int32_t Y, uint8_t Opacity, const TPixels& Source) {
    ComposeLimited(X, Y, Everywhere, Opacity, Source);
}

void TPixels::ComposeIn(int32_t X, int32_t Y, const TRect& Limit, const TPixels& Source) {
    ComposeLimited(X, Y, Limit.Translated(Origin), 255, Source);
}

void TPixels::ComposeInFaded(int32_t X, int32_t Y, const TRect& Limit, uint8_t Opacity,
                             const TPixels& Source) {
    ComposeLimited(X, Y, Limit.Translated(Origin), Opacity, Source);
}

void TPixels::ComposeOutside(int32_t X, int32_t Y, const TRect& Hole, uint8_t Opacity,
                             const TPixels& Source) {
    if (&Source == this) {
        TPixels Copy(Source);
        ComposeOutside(X, Y, Hole, Opacity, Copy);
        return;
    }
    TRect Outer = Source.Bounds().Translated(X + Origin.X, Y + Origin.Y);
    ForEachBandPart(Outer, Hole.Translated(Origin),
                    [&](const TRect& Part) { ComposeLimited(X, Y, Part, Opacity, Source); });
}

void TPixels::CopyTransformed(int32_t X, int32_t Y, bool Rotate, bool FlipRows, bool FlipColumns,
                              const TPixels& Source) {
    if (!Rotate && !FlipRows && !FlipColumns) {
        CopyFrom(X, Y, Source);
        return;
    }
    if (IsEmpty() || Source.IsEmpty())
        return;
    if (&Source == this) {
        TPixels Copy(Source);
        CopyTransformed(X, Y, Rotate, FlipRows, FlipColumns, Copy);
        return;
    }
    int32_t W = Source.Width(), H = Source.Height();
    int32_t PlacedX = X + Origin.X, PlacedY = Y + Origin.Y;
    TRect Area = TRect::FromSize(PlacedX, PlacedY, Rotate ? H : W, Rotate ? W : H).Intersected(FClipRect);
    for (int32_t Ty = Area.Top; Ty < Area.Bottom; ++Ty) {
        TPixel* To = RowPixels(Ty);
        int32_t V = Ty - PlacedY;
        for (int32_t Tx = Area.Left; Tx < Area.Right; ++Tx) {
            int32_t U = Tx - PlacedX;
            // (Mx, My) in the mirrored source, then back to the source.
            int32_t Mx = Rotate ? W - 1 - V : U, My = Rotate ? U : V;
            int32_t Sx = FlipColumns ? W - 1 - Mx : Mx, Sy = FlipRows ? H - 1 - My : My;
            To[Tx] = Source.RowPixels(Sy)[Sx];
        }
    }
}

void TPixels::PixelOpFrom(int32_t X, int32_t Y, TPixelOp Op, uint32_t Param, const TPixels& Source) {
    ForEachSourceRow(X, Y, Everywhere, Source, [&](TPixel* To, const TPixel* From, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            To[I] = Op(From[I], To[I], Param);
    });
}

void TPixels::PixelOpMasked(int32_t X, int32_t Y, TPixelOp Op, uint8_t Opacity, const TPixels& Source) {
    const uint8_t* Fade = BlendTables().Mul[Opacity];
    ForEachSourceRow(X, Y, Everywhere, Source, [&](TPixel* To, const TPixel* From, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            To[I] = Op(To[I], To[I], Fade[From[I] >> 24]);
    });
}
