#include "canvas/pixels.h"

#include "canvas/blend_tables.h"
#include "canvas/over_rule.h"
#include "canvas/raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Lays Color with Alpha over one pixel, or hands both to Op.
inline void PutPixel(const TBlendTables& T, TPixel* Pixel, TPixel Color, uint32_t Alpha, TPixelOp Op,
                     uint32_t Param) {
    if (Alpha == 0)
        return;
    TPixel Source = WithAlpha(Color, Alpha);
    *Pixel = Op ? Op(Source, *Pixel, Param) : ComposePixel(T, Source, *Pixel);
}

// The 2 x 2 spread of a smoothed point: the pixel up-left of the point's
// position and the 8-bit weights of it and its three neighbours.
struct TSpread {
    int32_t X, Y;
    uint8_t TopLeft, TopRight, BottomRight, BottomLeft;
};

TSpread Spread(const TBlendTables& T, TRasterPoint Point) {
    int32_t PX = Point.X - 32768, PY = Point.Y - 32768;
    auto FX = uint8_t(PX >> 8 & 255), FY = uint8_t(PY >> 8 & 255);
    return {PX >> 16,
            PY >> 16,
            T.Mul[255 - FY][255 - FX],
            T.Mul[255 - FY][FX],
            T.Mul[FY][FX],
            T.Mul[FY][255 - FX]};
}

} // namespace

void TPixels::DrawRasterWith(const TRaster& Raster, TSmooth Smooth, TColor Color, TPixelOp Op,
                             uint32_t Param) {
    uint32_t Alpha = Color >> 24;
    if (Alpha == 0 || FClipRect.IsEmpty() || Raster.IsEmpty())
        return;
    const TBlendTables& T = BlendTables();
    TPixel Value = ColorToPixel(Color);
    const TRect& Clip = FClipRect;
    auto Put = [&](int32_t X, int32_t Y, uint32_t PointAlpha) {
        if (X >= Clip.Left && X < Clip.Right && Y >= Clip.Top && Y < Clip.Bottom)
            PutPixel(T, RowPixels(Y) + X, Value, PointAlpha, Op, Param);
    };
    for (TRasterPoint Point : Raster.Points()) {
        Point.X += Origin.X * 65536;
        Point.Y += Origin.Y * 65536;
        if (Smooth == TSmooth::No) {
            Put(Point.X >> 16, Point.Y >> 16, Alpha);
            continue;
        }
        TSpread S = Spread(T, Point);
        const uint8_t* Scale = T.Mul[Alpha];
        Put(S.X, S.Y, Scale[S.TopLeft]);
        Put(S.X + 1, S.Y, Scale[S.TopRight]);
        Put(S.X + 1, S.Y + 1, Scale[S.BottomRight]);
        Put(S.X, S.Y + 1, Scale[S.BottomLeft]);
    }
}

void TPixels::DrawRaster(const TRaster& Raster, TSmooth Smooth, TColor Color) {
    DrawRasterWith(Raster, Smooth, Color, nullptr, 0);
}

void TPixels::Line(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TSmooth Smooth, TColor Color) {
    LineOp(X1, Y1, X2, Y2, Smooth, Color, nullptr, 0);
}

void TPixels::LineOp(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, TSmooth Smooth, TColor Color,
                     TPixelOp Op, uint32_t Param) {
    if ((Color >> 24) == 0 || FClipRect.IsEmpty())
        return;
    TRaster Raster;
    Raster.AddLine({X1, Y1}, {X2, Y2});
    DrawRasterWith(Raster, Smooth, Color, Op, Param);
}

void TPixels::Polyline(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color) {
    PolylineOp(Points, Count, Smooth, Color, nullptr, 0);
}

void TPixels::PolylineOp(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color, TPixelOp Op,
                         uint32_t Param) {
    if ((Color >> 24) == 0 || FClipRect.IsEmpty())
        return;
    TRaster Raster;
    Raster.AddPolyline(Points, Count, true);
    DrawRasterWith(Raster, Smooth, Color, Op, Param);
}

void TPixels::PatternLine(const TRaster& Raster, const TColor* Colors, int32_t Count, int32_t Phase) {
    // A count of 0 would divide by zero below: it draws nothing.
    if (Count <= 0 || !Colors || FClipRect.IsEmpty())
        return;
    Count = std::min(Count, 1024);
    const TBlendTables& T = BlendTables();
    std::vector<TPixel> Pixels(static_cast<size_t>(Count));
    for (int32_t I = 0; I < Count; ++I)
        Pixels[size_t(I)] = ColorToPixel(Colors[I]);
    auto Index = int32_t(Phase % Count);
    if (Index < 0)
        Index += Count;
    for (TRasterPoint Point : Raster.Points()) {
        int32_t X = (Point.X >> 16) + Origin.X, Y = (Point.Y >> 16) + Origin.Y;
        TPixel Color = Pixels[size_t(Index)];
        if (++Index == Count)
            Index = 0;
        if (X >= FClipRect.Left && X < FClipRect.Right && Y >= FClipRect.Top && Y < FClipRect.Bottom)
            RowPixels(Y)[X] = ComposePixel(T, Color, RowPixels(Y)[X]);
    }
}

void TPixels::FillPolygon(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color) {
    FillPolygonWith(Points, Count, Smooth, Color, nullptr, 0);
}

void TPixels::FillPolygonOp(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color,
                            TPixelOp Op, uint32_t Param) {
    FillPolygonWith(Points, Count, Smooth, Color, Op, Param);
}

// The interior is found per scanline through pixel centres (even-odd rule);
// the outline's own points are added at full coverage, or spread over their
// 2 x 2 neighbourhoods and united with the Screen table when smoothing, so a
// filled polygon covers exactly what its outline draws and no more.
void TPixels::FillPolygonWith(const TPoint* Points, int32_t Count, TSmooth Smooth, TColor Color,
                              TPixelOp Op, uint32_t Param) {
    uint32_t Alpha = Color >> 24;
    if (Alpha == 0 || Count <= 0 || !Points || FClipRect.IsEmpty())
        return;
    std::vector<TPoint> Moved(Points, Points + Count);
    for (auto& Point : Moved)
        Point = Point + Origin;
    TRaster Outline;
    Outline.AddPolyline(Moved.data(), Count, true);
    TRect Box = Outline.BoundingBox(Smooth == TSmooth::Yes).Intersected(FClipRect);
    if (Box.IsEmpty())
        return;
    const TBlendTables& T = BlendTables();
    int32_t Width = Box.Width();
    std::vector<uint8_t> Coverage(size_t(Width) * size_t(Box.Height()), 0);
    auto Cover = [&](int32_t X, int32_t Y, uint8_t Amount) {
        if (X < Box.Left || X >= Box.Right || Y < Box.Top || Y >= Box.Bottom)
            return;
        uint8_t& Cell = Coverage[size_t(Y - Box.Top) * size_t(Width) + size_t(X - Box.Left)];
        Cell = T.Screen[Cell][Amount];
    };

    std::vector<double> Crossings;
    for (int32_t Y = Box.Top; Y < Box.Bottom; ++Y) {
        Crossings.clear();
        for (int32_t I = 0; I < Count; ++I) {
            TPoint A = Moved[size_t(I)], B = Moved[size_t((I + 1) % Count)];
            if ((A.Y <= Y && Y < B.Y) || (B.Y <= Y && Y < A.Y))
                Crossings.push_back(A.X + double(Y - A.Y) * (B.X - A.X) / double(B.Y - A.Y));
        }
        std::sort(Crossings.begin(), Crossings.end());
        uint8_t* Row = Coverage.data() + size_t(Y - Box.Top) * size_t(Width);
        for (size_t I = 0; I + 1 < Crossings.size(); I += 2) {
            auto From = int32_t(std::max<double>(std::ceil(Crossings[I]), Box.Left));
            auto To = int32_t(std::min<double>(std::floor(Crossings[I + 1]), Box.Right - 1));
            for (int32_t X = From; X <= To; ++X)
                Row[X - Box.Left] = 255;
        }
    }
    for (TRasterPoint Point : Outline.Points()) {
        if (Smooth == TSmooth::No) {
            Cover(Point.X >> 16, Point.Y >> 16, 255);
            continue;
        }
        TSpread S = Spread(T, Point);
        Cover(S.X, S.Y, S.TopLeft);
        Cover(S.X + 1, S.Y, S.TopRight);
        Cover(S.X + 1, S.Y + 1, S.BottomRight);
        Cover(S.X, S.Y + 1, S.BottomLeft);
    }

    TPixel Value = ColorToPixel(Color);
    const uint8_t* Scale = T.Mul[Alpha];
    for (int32_t Y = Box.Top; Y < Box.Bottom; ++Y) {
        const uint8_t* Row = Coverage.data() + size_t(Y - Box.Top) * size_t(Width);
        TPixel* To = RowPixels(Y) + Box.Left;
        for (int32_t X = 0; X < Width; ++X)
            PutPixel(T, To + X, Value, Scale[Row[X]], Op, Param);
    }
}
