#include "editors/timeline_snap.h"

#include "editors/timeline_scale.h"
#include "project/project.h"
#include "project/track.h"
#include "project/track_item.h"
#include "toolkit/areas/desktop.h"

#include <algorithm>
#include <cstdlib>

void TSnapSearch::Offer(TVideoTime Moving, TVideoTime Target) {
    const int64_t Distance = std::llabs(FScale.TimeToPixels(Moving) - FScale.TimeToPixels(Target));
    if (Distance >= FBest)
        return;
    FBest = Distance;
    FFound = true;
    FShift = Target - Moving;
    FTarget = Target;
}

int64_t GridSnapReach(double PixelsPerSecond) {
    int64_t Reach = 4;
    ForEachIntervalSpaced(PixelsPerSecond, MinTickSpacing(),
                          [&](int32_t, const TTimeInterval&, long Spacing) {
                              Reach = std::min<int64_t>(Reach, Spacing / 4 + 1);
                          });
    return Reach;
}

namespace {

template <class F>
void ForEachItem(const TProject& Project, F&& Visit) {
    for (int32_t T = 0; T < Project.TrackCount(); ++T) {
        const TTrack& Track = *Project.Track(T);
        for (int32_t I = 0; I < Track.ItemCount(); ++I)
            Visit(Track, I, *Track.Item(I));
    }
}

bool SnapToObjects(TSnapSearch& Search, const TProject& Project, const TSnapSpan& Span,
                   TVideoTime Delta) {
    ForEachItem(Project, [&](const TTrack& Track, int32_t Index, const TTrackItem& Item) {
        if (&Track == Span.OwnTrack && Index >= Span.FirstOwn && Index <= Span.LastOwn)
            return;
        for (TVideoTime Edge : {Item.Position(), Item.End()}) {
            if (Span.UseStart)
                Search.Offer(Span.Start + Delta, Edge);
            if (Span.UseEnd)
                Search.Offer(Span.End + Delta, Edge);
        }
    });
    return Search.Found();
}

bool SnapToGrid(TSnapSearch& Search, double PixelsPerSecond, const TSnapSpan& Span,
                TVideoTime Delta) {
    ForEachIntervalSpaced(PixelsPerSecond, MinTickSpacing(),
                          [&](int32_t, const TTimeInterval& Entry, long) {
                              auto OfferLinesAround = [&](TVideoTime Moved) {
                                  const int64_t Below = TickAtOrBefore(Entry, Moved);
                                  Search.Offer(Moved, TickTime(Entry, Below));
                                  Search.Offer(Moved, TickTime(Entry, Below + 1));
                              };
                              if (Span.UseStart)
                                  OfferLinesAround(Span.Start + Delta);
                              if (Span.UseEnd)
                                  OfferLinesAround(Span.End + Delta);
                          });
    return Search.Found();
}

} // namespace

TVideoTime SnapSpanDelta(const TDesktop& Scale, const TProject* Project, TSnapSwitches Switches,
                         const TSnapSpan& Span, TVideoTime Delta) {
    if (Switches.ToObjects && Project) {
        TSnapSearch Search(Scale, ItemSnapReach);
        if (SnapToObjects(Search, *Project, Span, Delta))
            return Delta + Search.Shift();
    }
    if (Switches.ToGrid) {
        TSnapSearch Search(Scale, GridSnapReach(Scale.PixelsPerSecond()));
        if (SnapToGrid(Search, Scale.PixelsPerSecond(), Span, Delta))
            return Delta + Search.Shift();
    }
    return Delta;
}

TVideoTime SnapCursorTime(const TDesktop& Scale, const TProject* Project, TVideoTime Time) {
    if (!Project)
        return Time;
    TSnapSearch Search(Scale, CursorSnapReach);
    ForEachItem(*Project, [&](const TTrack&, int32_t, const TTrackItem& Item) {
        Search.Offer(Time, Item.End());
        Search.Offer(Time, Item.Position());
    });
    return Search.Found() ? Search.Target() : Time;
}
