#include "render/timeline.h"

#include <cassert>

TTimeline::TTimeline() {
    BeginUpdate();
    AddTrack(TTimelineTrackKind::ABVideoAudio, 0);
    EndUpdate();
}

TTimeline::~TTimeline() = default;

int32_t TTimeline::AddTrack(TTimelineTrackKind Kind, int32_t Position) {
    if (Position <= 0 || Position > TrackCount())
        Position = TrackCount() + 1;
    FTracks.insert(FTracks.begin() + (Position - 1), std::make_unique<TTimelineTrack>(this, Kind));
    RequestRebuild();
    return Position;
}

TTimelineTrack* TTimeline::Track(int32_t Position) const {
    if (Position < 1 || Position > TrackCount())
        return nullptr;
    return FTracks[static_cast<size_t>(Position - 1)].get();
}

int32_t TTimeline::PositionOf(const TTimelineTrack* Track) const {
    for (size_t I = 0; I < FTracks.size(); ++I)
        if (FTracks[I].get() == Track)
            return static_cast<int32_t>(I) + 1;
    return -1;
}

void TTimeline::DeleteTrack(int32_t Position) {
    if (Position < 1 || Position > TrackCount())
        return;
    FTracks.erase(FTracks.begin() + (Position - 1));
    RequestRebuild();
}

void TTimeline::BeginUpdate() { ++FUpdateCounter; }

void TTimeline::EndUpdate() {
    assert(FUpdateCounter > 0 && "EndUpdate without BeginUpdate");
    if (--FUpdateCounter == 0 && FRebuildPending)
        Rebuild();
}

void TTimeline::RequestRebuild() {
    FRebuildPending = true;
    if (FUpdateCounter == 0)
        Rebuild();
}

void TTimeline::Rebuild() {
    FRebuildPending = false;
    ++FRebuildCount;
}
