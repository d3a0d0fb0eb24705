#include "canvas/pixels.h"

#include "canvas/blend_tables.h"
#include "canvas/over_rule.h"
#include "canvas/rect_bands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

void TPixels::TFree::operator()(uint8_t* Memory) const {
    std::free(Memory);
}

TPixels::TPixels() = default;

TPixels::TPixels(int32_t Width, int32_t Height) {
    SetSize(Width, Height);
}

TPixels::TPixels(const TPixels& Other) {
    *this = Other;
}

TPixels& TPixels::operator=(const TPixels& Other) {
    if (this == &Other)
        return *this;
    SetSize(Other.FWidth, Other.FHeight);
    if (BufferSize())
        std::memcpy(FBuffer.get(), Other.FBuffer.get(), BufferSize());
    FClipRect = Other.FClipRect;
    Origin = Other.Origin;
    return *this;
}

TPixels::TPixels(TPixels&& Other) noexcept {
    Swap(Other);
}

TPixels& TPixels::operator=(TPixels&& Other) noexcept {
    TPixels Empty;
    Swap(Empty);
    Swap(Other);
    return *this;
}

TPixels::~TPixels() = default;

void TPixels::Swap(TPixels& Other) noexcept {
    std::swap(FBuffer, Other.FBuffer);
    std::swap(FWidth, Other.FWidth);
    std::swap(FHeight, Other.FHeight);
    std::swap(FTopRow, Other.FTopRow);
    std::swap(FStride, Other.FStride);
    std::swap(FClipRect, Other.FClipRect);
    std::swap(Origin, Other.Origin);
}

void TPixels::SetSize(int32_t Width, int32_t Height) {
    Width = std::clamp(Width, 0, MaxSize);
    Height = std::clamp(Height, 0, MaxSize);
    if (Width != FWidth || Height != FHeight) {
        size_t NewSize = size_t(Width) * size_t(Height) * 4;
        if (NewSize != BufferSize()) {
            // The new block first, so a failure leaves the old one in place.
            std::unique_ptr<uint8_t, TFree> Block;
            if (NewSize) {
                Block.reset(static_cast<uint8_t*>(std::malloc(NewSize)));
                if (!Block)
                    throw std::bad_alloc();
            }
            FBuffer = std::move(Block);
        }
        FWidth = Width;
        FHeight = Height;
        size_t Size = BufferSize();
        FTopRow = Size ? FBuffer.get() + Size - size_t(4) * size_t(Width) : nullptr;
        FStride = -4 * Width;
    }
    FClipRect = Bounds();
    Origin = {};
}

void TPixels::SetClipRect(const TRect& Rect) {
    FClipRect = Rect.Intersected(Bounds());
}

TPixel TPixels::GetPixel(int32_t X, int32_t Y) const {
    X += Origin.X;
    Y += Origin.Y;
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return 0;
    return RowPixels(Y)[X];
}

TAlphaKind TPixels::AlphaKind() const {
    bool HasClear = false, HasOpaque = false;
    const uint8_t* Byte = FBuffer.get();
    for (size_t I = 3, Size = BufferSize(); I < Size; I += 4) {
        uint8_t Alpha = Byte[I];
        if (Alpha == 0)
            HasClear = true;
        else if (Alpha == 255)
            HasOpaque = true;
        else
            return TAlphaKind::Translucent;
    }
    if (HasClear && HasOpaque)
        return TAlphaKind::Mask;
    return HasClear ? TAlphaKind::Transparent : TAlphaKind::Opaque;
}

namespace {

// Calls Work(Row, Count) for each row of Area (raster coordinates, already
// clipped).
template <class TWork>
void ForEachRow(const TPixels& Pixels, const TRect& Area, TWork&& Work) {
    if (Area.IsEmpty())
        return;
    int32_t Count = Area.Width();
    for (int32_t Y = Area.Top; Y < Area.Bottom; ++Y)
        Work(Pixels.RowPixels(Y) + Area.Left, Count);
}

void FillWords(TPixel* Row, int32_t Count, TPixel Value) {
    std::fill_n(Row, Count, Value);
}

} // namespace

void TPixels::Clear() {
    ForEachRow(*this, FClipRect,
               [](TPixel* Row, int32_t Count) { std::memset(Row, 0, size_t(Count) * 4); });
}

void TPixels::FillAll(TColor Color) {
    TPixel Value = ColorToPixel(Color);
    ForEachRow(*this, FClipRect, [&](TPixel* Row, int32_t Count) { FillWords(Row, Count, Value); });
}

void TPixels::FillRect(const TRect& Rect, TColor Color) {
    TPixel Value = ColorToPixel(Color);
    ForEachRow(*this, Placed(Rect),
               [&](TPixel* Row, int32_t Count) { FillWords(Row, Count, Value); });
}

void TPixels::FillRectRGB(const TRect& Rect, TColor Color) {
    TPixel Value = ColorToPixel(Color) & 0x00FFFFFFu;
    ForEachRow(*this, Placed(Rect), [&](TPixel* Row, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            Row[I] = (Row[I] & 0xFF000000u) | Value;
    });
}

void TPixels::SetAlpha(const TRect& Rect, uint8_t Alpha) {
    TPixel Top = TPixel(Alpha) << 24;
    ForEachRow(*this, Placed(Rect), [&](TPixel* Row, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            Row[I] = (Row[I] & 0x00FFFFFFu) | Top;
    });
}

void TPixels::ScaleAlpha(const TRect& Rect, uint8_t Alpha) {
    if (Alpha == 0) {
        SetAlpha(Rect, 0);
        return;
    }
    const uint8_t* Scale = BlendTables().Mul[Alpha];
    ForEachRow(*this, Placed(Rect), [&](TPixel* Row, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            Row[I] = (Row[I] & 0x00FFFFFFu) | TPixel(Scale[Row[I] >> 24]) << 24;
    });
}

void TPixels::InvertAlpha() {
    ForEachRow(*this, FClipRect, [](TPixel* Row, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            Row[I] ^= 0xFF000000u;
    });
}

void TPixels::BlendRect(const TRect& Rect, TColor Color) {
    uint32_t Sa = Color >> 24;
    if (Sa == 0)
        return;
    if (Sa == 255) {
        FillRect(Rect, Color);
        return;
    }
    const TBlendTables& T = BlendTables();
    TPixel Source = ColorToPixel(Color);
    ForEachRow(*this, Placed(Rect), [&](TPixel* Row, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            Row[I] = ComposePixel(T, Source, Row[I]);
    });
}

void TPixels::Flatten(const TRect& Rect, TColor Color) {
    const TBlendTables& T = BlendTables();
    TPixel Back = ColorToPixel(AlphaColor(Color, 255));
    auto Cb = uint8_t(Back), Cg = uint8_t(Back >> 8), Cr = uint8_t(Back >> 16);
    ForEachRow(*this, Placed(Rect), [&](TPixel* Row, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I) {
            TPixel P = Row[I];
            uint8_t A = uint8_t(P >> 24);
            Row[I] = TPixel(T.Toward(A, Cb, uint8_t(P))) | TPixel(T.Toward(A, Cg, uint8_t(P >> 8))) << 8 |
                     TPixel(T.Toward(A, Cr, uint8_t(P >> 16))) << 16 | 0xFF000000u;
        }
    });
}

void TPixels::FrameRect(const TRect& Rect, TColor Color) {
    FillBand(Rect, Rect.Inflated(-1, -1), Color);
}

void TPixels::BlendFrameRect(const TRect& Rect, TColor Color) {
    BlendBand(Rect, Rect.Inflated(-1, -1), Color);
}

void TPixels::FillBand(const TRect& Outer, const TRect& Inner, TColor Color) {
    ForEachBandPart(Outer, Inner, [&](const TRect& Part) { FillRect(Part, Color); });
}

void TPixels::BlendBand(const TRect& Outer, const TRect& Inner, TColor Color) {
    if ((Color >> 24) == 0)
        return;
    ForEachBandPart(Outer, Inner, [&](const TRect& Part) { BlendRect(Part, Color); });
}

void TPixels::PixelOp(const TRect& Rect, TColor Color, TPixelOp Op, uint32_t Param) {
    TPixel Value = ColorToPixel(Color);
    ForEachRow(*this, Placed(Rect), [&](TPixel* Row, int32_t Count) {
        for (int32_t I = 0; I < Count; ++I)
            Row[I] = Op(Value, Row[I], Param);
    });
}

void TPixels::PixelOpFrame(const TRect& Rect, TColor Color, TPixelOp Op, uint32_t Param) {
    PixelOpBand(Rect, Rect.Inflated(-1, -1), Color, Op, Param);
}

void TPixels::PixelOpBand(const TRect& Outer, const TRect& Inner, TColor Color, TPixelOp Op,
                          uint32_t Param) {
    ForEachBandPart(Outer, Inner, [&](const TRect& Part) { PixelOp(Part, Color, Op, Param); });
}

void TPixels::DrawOnBitmap(int32_t X, int32_t Y, TColor Color, const TPixelView& Target) const {
    if (IsEmpty() || Target.IsEmpty())
        return;
    const TBlendTables& T = BlendTables();
    TPixel Back = ColorToPixel(AlphaColor(Color, 255));
    auto Cb = uint8_t(Back), Cg = uint8_t(Back >> 8), Cr = uint8_t(Back >> 16);
    TRect Area = Bounds().Translated(X, Y).Intersected(Target.Bounds());
    for (int32_t Ty = Area.Top; Ty < Area.Bottom; ++Ty) {
        const TPixel* From = RowPixels(Ty - Y) + (Area.Left - X);
        auto* To = reinterpret_cast<TPixel*>(Target.At(Area.Left, Ty));
        for (int32_t I = 0, Count = Area.Width(); I < Count; ++I) {
            TPixel P = From[I];
            auto A = uint8_t(P >> 24);
            To[I] = TPixel(T.Toward(A, Cb, uint8_t(P))) | TPixel(T.Toward(A, Cg, uint8_t(P >> 8))) << 8 |
                    TPixel(T.Toward(A, Cr, uint8_t(P >> 16))) << 16 | 0xFF000000u;
        }
    }
}

void TPixels::CopyToBitmap32(int32_t X, int32_t Y, const TPixelView& Target) const {
    if (IsEmpty() || Target.IsEmpty())
        return;
    const TBlendTables& T = BlendTables();
    TRect Area = Bounds().Translated(X, Y).Intersected(Target.Bounds());
    for (int32_t Ty = Area.Top; Ty < Area.Bottom; ++Ty) {
        const TPixel* From = RowPixels(Ty - Y) + (Area.Left - X);
        auto* To = reinterpret_cast<TPixel*>(Target.At(Area.Left, Ty));
        for (int32_t I = 0, Count = Area.Width(); I < Count; ++I) {
            TPixel P = From[I];
            const uint8_t* M = T.Mul[P >> 24];
            To[I] = TPixel(M[P & 0xFF]) | TPixel(M[P >> 8 & 0xFF]) << 8 | TPixel(M[P >> 16 & 0xFF]) << 16 |
                    (P & 0xFF000000u);
        }
    }
}
