#include "render/timeline_track.h"

#include "render/timeline.h"

namespace {

bool KindHasVideo(TTimelineTrackKind Kind) {
    switch (Kind) {
    case TTimelineTrackKind::ABVideoAudio:
    case TTimelineTrackKind::ABVideo:
    case TTimelineTrackKind::VideoAudio:
    case TTimelineTrackKind::Video:
        return true;
    default:
        return false;
    }
}

bool KindHasAudio(TTimelineTrackKind Kind) {
    switch (Kind) {
    case TTimelineTrackKind::ABVideoAudio:
    case TTimelineTrackKind::ABAudio:
    case TTimelineTrackKind::VideoAudio:
    case TTimelineTrackKind::Audio:
        return true;
    default:
        return false;
    }
}

} // namespace

TTimelineTrack::TTimelineTrack(TTimeline* Timeline, TTimelineTrackKind Kind)
    : FTimeline(Timeline), FKind(Kind), FHasVideo(KindHasVideo(Kind)), FHasAudio(KindHasAudio(Kind)),
      FABTrack(Kind <= TTimelineTrackKind::ABVideo), FMuted(!FHasAudio) {}

void TTimelineTrack::SetVolume(double Value) {
    if (Value == FVolume)
        return;
    FVolume = Value;
    FTimeline->RequestRebuild();
}

void TTimelineTrack::SetMuted(bool Value) {
    if (Value == FMuted)
        return;
    FMuted = Value;
    FTimeline->RequestRebuild();
}

void TTimelineTrack::SetBackgroundColor(TColor Value) {
    FHasBackground = true;
    if (Value == FBackgroundColor)
        return;
    FBackgroundColor = Value;
    FTimeline->RequestRebuild();
}
