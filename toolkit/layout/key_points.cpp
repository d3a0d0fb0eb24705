#include "toolkit/layout/key_points.h"

#include "core/numbers.h"

#include <algorithm>

TKeyPoints::TKeyPoints(int64_t SourceMin, int64_t SourceMax, int64_t DestMin, int64_t DestMax)
    : FSourceMin(SourceMin), FSourceMax(SourceMax), FDestMin(DestMin), FDestMax(DestMax) {}

void TKeyPoints::Add(int64_t Position, int64_t Size) {
    FPoints.push_back({Position, std::max<int64_t>(Size, 1), 0});
}

void TKeyPoints::Layout() {
    // A point at an end of the source range reserves nothing beyond it.
    int64_t Sum = 0;
    for (const TKeyPoint& Point : FPoints) {
        if (Point.Position > FSourceMin)
            Sum += Point.Size;
        if (Point.Position < FSourceMax)
            Sum += Point.Size;
    }
    int64_t Dest = FDestMax - FDestMin;
    int64_t Source = std::max<int64_t>(1, FSourceMax - FSourceMin);
    FIsLinear = Dest - Sum < 0;
    if (FIsLinear) {
        for (TKeyPoint& Point : FPoints)
            Point.DestPosition = FDestMin + MulDivRound64(Point.Position - FSourceMin, Dest, Source);
        return;
    }
    int64_t Reserved = FDestMin;
    for (TKeyPoint& Point : FPoints) {
        if (Point.Position > FSourceMin)
            Reserved += Point.Size;
        Point.DestPosition =
            Reserved + MulDivRound64(Point.Position - FSourceMin, Dest - Sum, Source);
        if (Point.Position < FSourceMax)
            Reserved += Point.Size;
    }
}

namespace {

// The straight line through (X0, Y0) and (X1, Y1) at X; an empty segment
// answers its middle.
int64_t Interpolate(int64_t X, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1) {
    if (X1 <= X0)
        return Y0 + (Y1 - Y0) / 2;
    return Y0 + MulDivRound64(X - X0, Y1 - Y0, X1 - X0);
}

} // namespace

int64_t TKeyPoints::ToDest(int64_t Position) const {
    if (FPoints.empty()) {
        if (FSourceMax == FSourceMin)
            return FDestMin + (FDestMax - FDestMin) / 2;
        return FDestMin +
               MulDivRound64(Position - FSourceMin, FDestMax - FDestMin, FSourceMax - FSourceMin);
    }
    if (FIsLinear) // the line Layout put every point on
        return FDestMin + MulDivRound64(Position - FSourceMin, FDestMax - FDestMin,
                                        std::max<int64_t>(1, FSourceMax - FSourceMin));
    auto Found = std::find_if(FPoints.begin(), FPoints.end(),
                              [&](const TKeyPoint& Point) { return Point.Position >= Position; });
    if (Found != FPoints.end() && Found->Position == Position)
        return Found->DestPosition;
    int64_t X0 = FSourceMin, Y0 = FDestMin, X1 = FSourceMax, Y1 = FDestMax;
    if (Found != FPoints.begin()) {
        const TKeyPoint& Previous = *(Found - 1);
        X0 = Previous.Position + 1;
        Y0 = Previous.DestPosition + Previous.Size;
    }
    if (Found != FPoints.end()) {
        X1 = Found->Position - 1;
        Y1 = Found->DestPosition - Found->Size;
    }
    return Interpolate(Position, X0, Y0, X1, Y1);
}

int64_t TKeyPoints::ToSource(int64_t DestPosition) const {
    if (FPoints.empty() || FIsLinear) {
        // The inverse of the linear mapping.
        if (FDestMax == FDestMin)
            return FSourceMin + (FSourceMax - FSourceMin) / 2;
        return FSourceMin +
               MulDivRound64(DestPosition - FDestMin, FSourceMax - FSourceMin, FDestMax - FDestMin);
    }
    // The first point whose band does not lie wholly before DestPosition.
    auto Found = std::find_if(FPoints.begin(), FPoints.end(), [&](const TKeyPoint& Point) {
        return DestPosition < Point.DestPosition + Point.Size;
    });
    if (Found != FPoints.end() && DestPosition > Found->DestPosition - Found->Size)
        return Found->Position;
    int64_t X0 = FDestMin, Y0 = FSourceMin, X1 = FDestMax, Y1 = FSourceMax;
    if (Found != FPoints.begin()) {
        const TKeyPoint& Previous = *(Found - 1);
        X0 = Previous.DestPosition + Previous.Size;
        Y0 = Previous.Position + 1;
    }
    if (Found != FPoints.end()) {
        X1 = Found->DestPosition - Found->Size;
        Y1 = Found->Position - 1;
    }
    return Interpolate(DestPosition, X0, Y0, X1, Y1);
}
