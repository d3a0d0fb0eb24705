#pragma once

#include "core/geometry.h"
#include "platform/forward.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A rectangle with fractional edges: Right and Bottom exclusive.
struct TFloatRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
    double Width() const { return Right - Left; }
    double Height() const { return Bottom - Top; }
};

// A still picture made ready to show any part of it at any size, frame
// after frame: the picture with premultiplied alpha and its successive
// halvings. A part is drawn from the two halvings nearest its scale, mixed,
// so that a slow zoom over a large photo neither shimmers nor jumps when
// it passes from one halving to the next.
class TPicturePyramid {
public:
    // From a straight-alpha BGRA picture.
    explicit TPicturePyramid(const TVideoFrame& Picture);

    int32_t Width() const { return FLevels.front().Width; }
    int32_t Height() const { return FLevels.front().Height; }
    size_t Bytes() const;

    // Fills Frame: the part Source of the picture (in its pixels; parts
    // beyond the picture are empty) stretched onto Dest (frame pixels),
    // laid over Background by the picture's alpha; Background everywhere
    // else. Edges falling inside a pixel cover it in part.
    void Draw(const TFloatRect& Source, const TFloatRect& Dest, TColor Background,
              TVideoFrame& Frame) const;
    // Lays the part Source stretched onto Dest over what Frame holds, with
    // the picture's alpha times Opacity (0..1); the rest of Frame stays.
    void DrawOver(const TFloatRect& Source, const TFloatRect& Dest, double Opacity,
                  TVideoFrame& Frame) const;

private:
    struct TLevel {
        int32_t Width = 0;
        int32_t Height = 0;
        std::vector<uint8_t> Pixels; // BGRA, colour premultiplied by alpha
    };
    std::vector<TLevel> FLevels;
};
