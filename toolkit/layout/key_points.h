#pragma once

#include <cstdint>
#include <vector>

// A piecewise-linear mapping from a source range (times, say) to a
// destination range (pixels) that keeps room around chosen source positions:
// each key point holds Size destination units free on every side of it that
// lies inside the source range, and what is left of the destination scales
// linearly. When the destination is too small for the reserved room the
// mapping is the plain linear one.
//
//   TKeyPoints Points(0, 1000, 0, 400);
//   Points.Add(250, 10);
//   Points.Add(600, 10);
//   Points.Layout();
//   int64_t X = Points.ToDest(Time);
class TKeyPoints {
public:
    struct TKeyPoint {
        int64_t Position = 0;
        int64_t Size = 1;
        int64_t DestPosition = 0; // set by Layout
    };

    TKeyPoints(int64_t SourceMin, int64_t SourceMax, int64_t DestMin, int64_t DestMax);

    // Points are added in increasing Position; a Size below 1 counts as 1.
    void Add(int64_t Position, int64_t Size);
    // Gives every point its destination position.
    void Layout();
    int64_t ToDest(int64_t Position) const;
    int64_t ToSource(int64_t DestPosition) const;

    const std::vector<TKeyPoint>& Points() const { return FPoints; }
    // True when Layout found no room for the sizes and mapped linearly.
    bool IsLinear() const { return FIsLinear; }

private:
    int64_t FSourceMin, FSourceMax, FDestMin, FDestMax;
    std::vector<TKeyPoint> FPoints;
    bool FIsLinear = false;
};
