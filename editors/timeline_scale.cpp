#include "editors/timeline_scale.h"

#include "project/project.h"
#include "project/track.h"
#include "project/track_item.h"

#include <algorithm>
#include <cmath>

double ScaleOfZoomStep(int32_t Steps) {
    // Whole powers of two are exact; an odd step adds one sqrt(2).
    int32_t Half = Steps >= 0 ? Steps / 2 : -((-Steps + 1) / 2);
    double Scale = std::ldexp(TimelineNormalScale, Half);
    if (Steps - 2 * Half == 1)
        Scale *= std::sqrt(2.0);
    return std::clamp(Scale, TimelineMinScale, TimelineMaxScale);
}

int32_t ZoomStepOfScale(double Scale) {
    if (!(Scale > 0))
        return -TimelineZoomStepLimit;
    long Steps = std::lround(2 * std::log2(Scale / TimelineNormalScale));
    return int32_t(std::clamp<long>(Steps, -TimelineZoomStepLimit, TimelineZoomStepLimit));
}

const std::array<TTimeInterval, TimeIntervalCount>& TimeIntervals() {
    static const std::array<TTimeInterval, TimeIntervalCount> Table{{
        {1.0 / 28, false, 64, MakeColor(255, 64, 0)},
        {0.25, false, 64, MakeColor(255, 64, 0)},
        {1, false, 128, MakeColor(255, 0, 0)},
        {5, false, 128, MakeColor(255, 0, 0)},
        {10, false, 128, MakeColor(255, 0, 0)},
        {30, false, 128, MakeColor(255, 0, 0)},
        {60, false, 192, MakeColor(0, 0, 192)},
        {300, false, 192, MakeColor(0, 0, 192)},
        {600, true, 192, MakeColor(0, 0, 192)},
        {1800, true, 192, MakeColor(0, 0, 192)},
        {3600, true, 255, MakeColor(0, 32, 128)},
    }};
    return Table;
}

TVideoTime TickTime(const TTimeInterval& Interval, int64_t K) {
    return std::llround(static_cast<long double>(K) * Interval.Seconds * VideoTimeUnitsPerSecond);
}

int64_t TickSkipRatio(int32_t Index) {
    if (Index + 1 >= TimeIntervalCount)
        return 0;
    const auto& Table = TimeIntervals();
    return std::llround(Table[size_t(Index + 1)].Seconds / Table[size_t(Index)].Seconds);
}

long TickSpacing(const TTimeInterval& Interval, double PixelsPerSecond) {
    return std::lround(Interval.Seconds * PixelsPerSecond);
}

const TTimeInterval* FirstIntervalSpaced(double PixelsPerSecond, long MinSpacing) {
    for (const TTimeInterval& Interval : TimeIntervals())
        if (TickSpacing(Interval, PixelsPerSecond) >= MinSpacing)
            return &Interval;
    return nullptr;
}

namespace {

double UnitsPerTick(const TTimeInterval& Interval) { return Interval.Seconds * VideoTimeUnitsPerSecond; }

} // namespace

int64_t TickAtOrBefore(const TTimeInterval& Interval, TVideoTime Time) {
    return int64_t(std::floor(double(Time) / UnitsPerTick(Interval)));
}

TTickRange TicksAround(const TTimeInterval& Interval, TVideoTime From, TVideoTime To) {
    const double Units = UnitsPerTick(Interval);
    return {std::max<int64_t>(0, int64_t(std::floor(double(From) / Units)) - 1),
            int64_t(std::ceil(double(To) / Units)) + 1};
}

TVideoTime CursorStepSize(TStepKind Kind, double PixelsPerSecond, TVideoTime FrameDuration) {
    if (Kind == TStepKind::Frame)
        return FrameDuration;
    double MinSpacing = Kind == TStepKind::Second ? 8 : 64;
    for (const TTimeInterval& Interval : TimeIntervals())
        if (Interval.Seconds * PixelsPerSecond >= MinSpacing)
            return TickTime(Interval, 1);
    return (Kind == TStepKind::Second ? 1 : 10) * VideoTimeUnitsPerSecond;
}

namespace {

template <class F>
void ForEachItemEdge(const TProject* Project, F&& Visit) {
    if (!Project)
        return;
    for (int32_t T = 0; T < Project->TrackCount(); ++T) {
        const TTrack& Track = *Project->Track(T);
        for (int32_t I = 0; I < Track.ItemCount(); ++I) {
            Visit(Track.Item(I)->Position());
            Visit(Track.Item(I)->End());
        }
    }
}

} // namespace

TVideoTime StepBackTime(const TProject* Project, TVideoTime Position, TVideoTime Step) {
    if (Step <= 0)
        return Position;
    TVideoTime Remainder = Position % Step;
    if (Remainder < 0)
        Remainder += Step;
    TVideoTime Target = Remainder == 0 ? Position - Step : Position - Remainder;
    ForEachItemEdge(Project, [&](TVideoTime Edge) {
        if (Edge < Position && Edge > Target)
            Target = Edge;
    });
    return Target;
}

TVideoTime StepForwardTime(const TProject* Project, TVideoTime Position, TVideoTime Step) {
    if (Step <= 0)
        return Position;
    TVideoTime Remainder = Position % Step;
    if (Remainder < 0)
        Remainder += Step;
    TVideoTime Target = Position - Remainder + Step;
    ForEachItemEdge(Project, [&](TVideoTime Edge) {
        if (Edge > Position && Edge < Target)
            Target = Edge;
    });
    return Target;
}

TItemEdge EdgeAt(int32_t X, int32_t Left, int32_t Right) {
    int32_t Half = (Right - Left) / 2;
    if (Half <= 0)
        return TItemEdge::Body;
    int32_t Zone = Half == 1 ? 1 : std::min(8, (Half + 3) / 4 + 1);
    if (X >= Right - Zone)
        return TItemEdge::Right;
    if (X < Left + Zone)
        return TItemEdge::Left;
    return TItemEdge::Body;
}
