#include "canvas/raster.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

int32_t Fixed(double Value) {
    return int32_t(std::lround(Value * 65536.0));
}

} // namespace

void TRaster::Add(TRasterPoint Point) {
    if (FPoints.size() == FPoints.capacity())
        FPoints.reserve(FPoints.size() + 256);
    FPoints.push_back(Point);
}

void TRaster::AddLine(TPoint From, TPoint To) {
    if (From == To) {
        Add({From.X * 65536 + 32768, From.Y * 65536 + 32768});
        return;
    }
    int32_t DX = To.X - From.X, DY = To.Y - From.Y;
    int32_t N = std::max(std::abs(DX), std::abs(DY));
    double X = From.X + 0.5, Y = From.Y + 0.5;
    bool AlongX = std::abs(DX) >= std::abs(DY);
    double StepX = AlongX ? (DX > 0 ? 1 : -1) : double(DX) / N;
    double StepY = AlongX ? double(DY) / N : (DY > 0 ? 1 : -1);
    FPoints.reserve(FPoints.size() + size_t(N) + 1);
    for (int32_t I = 0; I <= N; ++I)
        Add({Fixed(X + StepX * I), Fixed(Y + StepY * I)});
}

void TRaster::AddPolyline(const TPoint* Points, int32_t Count, bool Closed) {
    if (Count <= 0)
        return;
    if (Count == 1) {
        AddLine(Points[0], Points[0]);
        return;
    }
    for (int32_t I = 0; I + 1 < Count; ++I) {
        AddLine(Points[I], Points[I + 1]);
        bool Final = !Closed && I + 2 == Count;
        if (!Final)
            FPoints.pop_back();
    }
    if (Closed) {
        AddLine(Points[Count - 1], Points[0]);
        FPoints.pop_back();
    }
}

void TRaster::AddRectOutline(const TRect& Rect) {
    if (Rect.IsEmpty())
        return;
    TPoint Corners[4] = {{Rect.Left, Rect.Top},
                         {Rect.Right - 1, Rect.Top},
                         {Rect.Right - 1, Rect.Bottom - 1},
                         {Rect.Left, Rect.Bottom - 1}};
    AddPolyline(Corners, 4, true);
}

void TRaster::Translate(TPoint Delta) {
    for (auto& Point : FPoints) {
        Point.X += Delta.X * 65536;
        Point.Y += Delta.Y * 65536;
    }
}

TRect TRaster::BoundingBox(bool Smooth) const {
    if (FPoints.empty())
        return {};
    int32_t Grow = Smooth ? 32768 : 0;
    int32_t MinX = INT32_MAX, MinY = INT32_MAX, MaxX = INT32_MIN, MaxY = INT32_MIN;
    for (const auto& Point : FPoints) {
        MinX = std::min(MinX, Point.X);
        MinY = std::min(MinY, Point.Y);
        MaxX = std::max(MaxX, Point.X);
        MaxY = std::max(MaxY, Point.Y);
    }
    return {(MinX - Grow) >> 16, (MinY - Grow) >> 16, ((MaxX + Grow) >> 16) + 1, ((MaxY + Grow) >> 16) + 1};
}
