#pragma once

#include "core/geometry.h"

#include <cstdint>
#include <vector>

// A sub-pixel point: 16.16 fixed point, the centre of pixel (i, j) being
// (i * 65536 + 32768, j * 65536 + 32768).
struct TRasterPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TRasterPoint&) const = default;
};

// Lines and outlines turned into lists of sub-pixel points, one per step
// along the major axis, which the canvas then draws point by point.
//
//   TRaster Outline;
//   Outline.AddRectOutline({2, 2, 10, 6});
//   Pixels.PatternLine(Outline, DottedColors, 8, 0);
class TRaster {
public:
    const std::vector<TRasterPoint>& Points() const { return FPoints; }
    int32_t Count() const { return int32_t(FPoints.size()); }
    bool IsEmpty() const { return FPoints.empty(); }
    void Clear() { FPoints.clear(); }
    void Add(TRasterPoint Point);

    // The points of a line from pixel (X1, Y1) to pixel (X2, Y2), both ends
    // included: max(|dx|, |dy|) + 1 points, or one when the ends meet.
    void AddLine(TPoint From, TPoint To);
    // Segments joined without repeating the joints; Closed adds the segment
    // back to the first point without repeating the start.
    void AddPolyline(const TPoint* Points, int32_t Count, bool Closed);
    // The closed outline through the corners, right and bottom inclusive.
    void AddRectOutline(const TRect& Rect);
    // Moves every point by whole pixels.
    void Translate(TPoint Delta);

    // (min X, min Y) to (max X + 1, max Y + 1) in whole pixels; grown by half
    // a pixel on every side first for smoothed drawing.
    TRect BoundingBox(bool Smooth = false) const;

private:
    std::vector<TRasterPoint> FPoints;
};
