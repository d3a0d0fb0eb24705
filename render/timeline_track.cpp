#include "render/timeline_track.h"

#include "core/numbers.h"
#include "platform/media/media_timeline.h"
#include "render/clip_element.h"
#include "render/effect_element.h"
#include "render/engine_objects.h"
#include "render/timeline.h"
#include "render/transition_element.h"

#include <algorithm>

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
    : FTimeline(Timeline), FKind(Kind), FHasVideo(KindHasVideo(Kind)),
      FHasAudio(KindHasAudio(Kind)), FABTrack(Kind <= TTimelineTrackKind::ABVideo),
      FMuted(!FHasAudio) {}

TTimelineTrack::~TTimelineTrack() {
    while (!FEffects.empty())
        FEffects.back()->MoveTo(nullptr, 0);
    while (!FTransitions.empty())
        FTransitions.back()->Detach();
    while (!FClips.empty())
        FClips.back()->Detach();
}

void TTimelineTrack::AddTransition(TBaseTransitionElement* Transition) {
    if (std::find(FTransitions.begin(), FTransitions.end(), Transition) == FTransitions.end())
        FTransitions.push_back(Transition);
}

void TTimelineTrack::RemoveTransition(TBaseTransitionElement* Transition) {
    FTransitions.erase(std::remove(FTransitions.begin(), FTransitions.end(), Transition),
                       FTransitions.end());
}

TClipElement* TTimelineTrack::Clip(int32_t Position) const {
    if (Position < 1 || Position > ClipCount())
        return nullptr;
    return FClips[size_t(Position - 1)];
}

int32_t TTimelineTrack::PositionOf(const TClipElement* Clip) const {
    auto It = std::find(FClips.begin(), FClips.end(), Clip);
    return It == FClips.end() ? -1 : int32_t(It - FClips.begin()) + 1;
}

TVideoTime TTimelineTrack::GetDuration() const {
    return FClips.empty() ? 0 : FClips.back()->End();
}

TMediaTrack* TTimelineTrack::VideoSubTrack(int32_t Index) const {
    return Index >= 0 && Index < 2 ? FVideoSubTracks[Index] : nullptr;
}

TMediaTrack* TTimelineTrack::AudioSubTrack(int32_t Index) const {
    return Index >= 0 && Index < 2 ? FAudioSubTracks[Index] : nullptr;
}

void TTimelineTrack::SetCompositions(TMediaComposition* Video, TMediaComposition* Audio) {
    FVideoComposition = Video;
    FAudioComposition = Audio;
    FVolumeEffect = nullptr;
    FKeyTransition = nullptr;
    for (int I = 0; I < 2; ++I) {
        FVideoSubTracks[I] = Video && I < int(Video->Layers().size())
                                 ? static_cast<TMediaTrack*>(Video->Layers()[size_t(I)].get())
                                 : nullptr;
        FAudioSubTracks[I] = Audio && I < int(Audio->Layers().size())
                                 ? static_cast<TMediaTrack*>(Audio->Layers()[size_t(I)].get())
                                 : nullptr;
    }
}

void TTimelineTrack::ReplaceClipsFrom(int32_t Position) {
    // On an A/B track a clip's sub-track follows its position: every clip
    // after a change of the list is placed again, the last first.
    for (int32_t P = ClipCount(); P >= Position; --P)
        Clip(P)->Update();
}

void TTimelineTrack::InsertClip(TClipElement* Clip) {
    auto At = std::upper_bound(FClips.begin(), FClips.end(), Clip->Start(),
                               [](TVideoTime T, const TClipElement* C) { return T < C->Start(); });
    int32_t Position = int32_t(At - FClips.begin()) + 1;
    FClips.insert(At, Clip);
    if (FABTrack)
        ReplaceClipsFrom(Position + 1);
    Clip->Update();
}

void TTimelineTrack::RemoveClip(TClipElement* Clip) {
    int32_t Position = PositionOf(Clip);
    if (Position < 0)
        return;
    FClips.erase(FClips.begin() + (Position - 1));
    Clip->RemoveFromGraph();
    if (FABTrack)
        ReplaceClipsFrom(Position);
    Changed();
}

void TTimelineTrack::UpdateVolumeEffect(bool Force) {
    if (!FAudioComposition)
        return;
    TVideoTime Length = GetDuration();
    if (!Force && Length == FVolumeLength)
        return;
    FVolumeLength = Length;
    if (FVolumeEffect)
        FAudioComposition->RemoveEffect(FVolumeEffect);
    FVolumeEffect = nullptr;
    if ((FVolume != 1.0 || FMuted) && Length > 0) {
        TPropertySetter Properties;
        Properties.SetValue("Vol", FMuted ? "0" : FormatDecimal(FVolume));
        FVolumeEffect = AddEffect(FAudioComposition, MediaClassIds::AudioVolumeEnvelope(), 0,
                                  Length, std::move(Properties));
    }
}

void TTimelineTrack::UpdateKeyTransition() {
    if (!FVideoComposition)
        return;
    if (FKeyTransition)
        FVideoComposition->RemoveTransition(FKeyTransition);
    FKeyTransition = nullptr;
    TVideoTime Length = GetDuration();
    // A track without a background of its own lets what lies beneath show
    // through its transparent parts (titles, overlays).
    if (!FHasBackground && Length > 0)
        FKeyTransition = AddKeyTransition(FVideoComposition, 0, Length);
}

void TTimelineTrack::Changed() {
    UpdateKeyTransition();
    UpdateVolumeEffect(false);
    FTimeline->Rebuild();
}

void TTimelineTrack::SetVolume(double Value) {
    if (Value == FVolume)
        return;
    FVolume = Value;
    UpdateVolumeEffect(true);
}

void TTimelineTrack::SetMuted(bool Value) {
    if (Value == FMuted)
        return;
    FMuted = Value;
    UpdateVolumeEffect(true);
}

void TTimelineTrack::SetBackgroundColor(TColor Value) {
    if (FHasBackground && Value == FBackgroundColor)
        return;
    FHasBackground = true;
    FBackgroundColor = Value;
    UpdateKeyTransition();
    FTimeline->Rebuild();
}
