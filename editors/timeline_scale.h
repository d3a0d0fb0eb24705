#pragma once

#include "core/geometry.h"
#include "core/video_time.h"
#include "toolkit/areas/desktop.h"

#include <array>
#include <cstdint>

class TProject;

// The sizes of the timeline editor follow the skin's icon size (32 unless a
// skin says otherwise): Scaled(N) = N * max(icon size, 30) div 33.
constexpr int32_t TimelineIconSize = 32;
constexpr int32_t Scaled(int32_t N) { return N * (TimelineIconSize > 30 ? TimelineIconSize : 30) / 33; }

// The time scale of the editor: pixels per second at normal zoom, the
// limits, and one zoom step of sqrt(2). Zooming counts whole steps from the
// normal scale, so that as many steps out as in return to it exactly.
constexpr double TimelineNormalScale = 8;
constexpr double TimelineMinScale = 0.125;
constexpr double TimelineMaxScale = 512;
constexpr int32_t TimelineZoomStepLimit = 12;
// The scale Steps whole zoom steps away from the normal one.
double ScaleOfZoomStep(int32_t Steps);
// The whole number of steps nearest to Scale.
int32_t ZoomStepOfScale(double Scale);

// One line of the time ruler: how far apart its ticks are, how they look,
// and (through the same table) the grid the editor snaps to and the sizes of
// cursor steps.
struct TTimeInterval {
    double Seconds;
    bool Bold;
    int32_t Height; // out of 319
    TColor Color;
};
constexpr int32_t TimeIntervalCount = 11;
const std::array<TTimeInterval, TimeIntervalCount>& TimeIntervals();
// The time of tick K of Interval, rounded to the nearest unit.
TVideoTime TickTime(const TTimeInterval& Interval, int64_t K);
// How many ticks of this entry make one of the next coarser entry (0 for the
// last entry: it skips nothing).
int64_t TickSkipRatio(int32_t Index);

// The grid of the table at a scale. The time bar draws ticks, and items snap
// to them, for the entries whose ticks lie at least MinTickSpacing pixels
// apart; the bar labels them, and the rows draw faint grid lines, from
// MinLabelSpacing up.
constexpr int32_t MinTickSpacing() { return Scaled(8); }
constexpr int32_t MinLabelSpacing() { return Scaled(64); }
// How far apart the ticks of Interval lie at a scale, in whole pixels.
long TickSpacing(const TTimeInterval& Interval, double PixelsPerSecond);
// The finest entry whose ticks lie at least MinSpacing apart, or null.
const TTimeInterval* FirstIntervalSpaced(double PixelsPerSecond, long MinSpacing);
// Calls Visit(Index, Entry, Spacing) for every entry whose ticks lie at
// least MinSpacing apart, finest first.
template <class F>
void ForEachIntervalSpaced(double PixelsPerSecond, long MinSpacing, F&& Visit) {
    const auto& Table = TimeIntervals();
    for (int32_t I = 0; I < TimeIntervalCount; ++I)
        if (const long Spacing = TickSpacing(Table[size_t(I)], PixelsPerSecond); Spacing >= MinSpacing)
            Visit(I, Table[size_t(I)], Spacing);
}
// The number of the last tick of Interval at or before Time.
int64_t TickAtOrBefore(const TTimeInterval& Interval, TVideoTime Time);
// The ticks that cover From to To with one more on either side (wide ticks
// reach over the edges), none before tick 0.
struct TTickRange {
    int64_t First = 0;
    int64_t Last = -1;
};
TTickRange TicksAround(const TTimeInterval& Interval, TVideoTime From, TVideoTime To);

// How far a cursor step goes at a scale: a frame of FrameDuration, else the
// first interval at least 8 (normal) or 64 (large) pixels apart, else 1 s
// or 10 s.
TVideoTime CursorStepSize(TStepKind Kind, double PixelsPerSecond, TVideoTime FrameDuration);
// The step from Position back (forward) to the grid of Step; any item start
// or end of the project's tracks on the way stops it there.
TVideoTime StepBackTime(const TProject* Project, TVideoTime Position, TVideoTime Step);
TVideoTime StepForwardTime(const TProject* Project, TVideoTime Position, TVideoTime Step);

// Which part of a box from Left to Right the point X falls on: 1 the left
// edge, 2 the right edge, 0 the body. The edge zones grow with the box, up to
// 8 pixels each; a box narrower than 2 pixels has none.
enum class TItemEdge : uint8_t { Body = 0, Left = 1, Right = 2 };
TItemEdge EdgeAt(int32_t X, int32_t Left, int32_t Right);
