#include "editors/timeline_targets.h"

#include "editors/item_fragments.h"
#include "editors/sub_track_fragment.h"
#include "editors/timeline_desktop.h"
#include "project/item.h"
#include "project/sub_track.h"
#include "toolkit/areas/area.h"

#include <algorithm>

namespace {

// Where a new track would go for a mouse at Y (tracks fragment
// coordinates): before the first band whose middle lies below it.
int32_t InsertIndexAt(const TTracksFragment& Tracks, int32_t Y) {
    const auto& Bands = Tracks.Bands();
    for (size_t I = 0; I < Bands.size(); ++I)
        if (Bands[I]->Top() + Bands[I]->Height() / 2 > Y)
            return int32_t(I);
    return int32_t(Bands.size());
}

} // namespace

TTimelineTarget TimelineTargetAt(const TTimelineDesktop& Desktop, TPoint Point) {
    TTimelineTarget Target;
    for (TFragment* Hit = Desktop.Area().FragmentAt(Point); Hit; Hit = Hit->Parent()) {
        const TPoint Local = Point - Hit->AreaRect().TopLeft();
        if (auto* Item = dynamic_cast<TItemFragment*>(Hit)) {
            Target.Kind = TTimelineTargetKind::Item;
            Target.Item = TRefPtr<TItem>(&Item->Item());
            return Target;
        }
        if (auto* Cell = dynamic_cast<TSubTrackFragment*>(Hit)) {
            Target.Kind = TTimelineTargetKind::SubTrack;
            Target.SubTrack = {TRefPtr<TSubTrack>(&Cell->SubTrack()), TSubTrackPart::Content,
                               std::max<TVideoTime>(0, Desktop.PixelsToTime(Local.X))};
            return Target;
        }
        if (auto* Header = dynamic_cast<TSubTrackHeaderFragment*>(Hit)) {
            Target.Kind = TTimelineTargetKind::SubTrack;
            Target.SubTrack = {TRefPtr<TSubTrack>(&Header->SubTrack()),
                               Local.Y < Header->Height() / 4 ? TSubTrackPart::HeaderTop : TSubTrackPart::Header, 0};
            return Target;
        }
        if (auto* Tracks = dynamic_cast<TTracksFragment*>(Hit)) {
            Target.Kind = TTimelineTargetKind::Timeline;
            if (Local.X < TTimelineDesktop::HeaderWidth() || Tracks->Bands().empty())
                Target.Timeline = {1, InsertIndexAt(*Tracks, Local.Y)};
            return Target;
        }
        if (dynamic_cast<TTimeBarFragment*>(Hit) || dynamic_cast<TTimeMarkFragment*>(Hit))
            return Target;
        if (Hit == &Desktop) {
            Target.Kind = TTimelineTargetKind::Timeline;
            return Target;
        }
    }
    return Target;
}
