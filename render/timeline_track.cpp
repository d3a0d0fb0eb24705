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
    while (!IsEmpty())
        Clip(ClipCount())->Detach();
}

void TTimelineTrack::AddTransition(TBaseTransitionElement* Transition) {
    if (std::find(FTransitions.begin(), FTransitions.end(), Transition) == FTransitions.end())
        FTransitions.push_back(Transition);
}

void TTimelineTrack::RemoveTransition(TBaseTransitionElement* Transition) {
    FTransitions.erase(std::remove(FTransitions.begin(), FTransitions.end(), Transition),
                       FTransitions.end());
}

int32_t TTimelineTrack::ClipCount() const {
    SortClips();
    return static_cast<int32_t>(FClips.size());
}

TClipElement* TTimelineTrack::Clip(int32_t Position) const {
    if (Position < 1 || Position > ClipCount())
        return nullptr;
    return FClips[size_t(Position - 1)];
}

int32_t TTimelineTrack::PositionOf(const TClipElement* Clip) const {
    SortClips();
    if (!Clip || Clip->FListIndex < 0 || size_t(Clip->FListIndex) >= FClips.size() ||
        FClips[size_t(Clip->FListIndex)] != Clip)
        return -1;
    return Clip->FListIndex + 1;
}

TVideoTime TTimelineTrack::GetDuration() const {
    // Only clips with something to show or play give the track its length:
    // a clip whose media went away would otherwise stretch the render with
    // black, and the latest start need not be the latest end.
    TVideoTime End = 0;
    for (const TClipElement* Clip : FClips)
        if (Clip && !Clip->Unavailable())
            End = std::max(End, Clip->End());
    return End;
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

void TTimelineTrack::SortClips() const {
    if (!FUnordered)
        return;
    FUnordered = false;
    FClips.erase(std::remove(FClips.begin(), FClips.end(), nullptr), FClips.end());
    // Stable: a clip placed at the start of another goes after it, as it
    // always has. Clips shifted together come back in order, and then
    // closing the gaps they left is all there is to do.
    auto Earlier = [](const TClipElement* A, const TClipElement* B) {
        return A->Start() < B->Start();
    };
    if (!std::is_sorted(FClips.begin(), FClips.end(), Earlier))
        std::stable_sort(FClips.begin(), FClips.end(), Earlier);
    for (size_t I = 0; I < FClips.size(); ++I)
        FClips[I]->FListIndex = int32_t(I);
}

void TTimelineTrack::Settle() {
    SortClips();
    if (!FUnsettled)
        return;
    FUnsettled = false;
    // The clips placed since are built; and on an A/B track a clip's
    // sub-track follows the parity of its position, so those whose parity
    // changed are built again.
    for (size_t I = 0; I < FClips.size(); ++I) {
        TClipElement* Clip = FClips[I];
        if (Clip->FNewInList || Clip->SubTrackIndex() != (FABTrack ? int32_t(I % 2) : 0)) {
            Clip->FNewInList = false;
            Clip->Update();
        }
    }
    Changed();
}

void TTimelineTrack::InsertClip(TClipElement* Clip) {
    // Appended at the end of a list in order, it stays in order.
    if (!FUnordered && !FClips.empty() && FClips.back()->Start() > Clip->Start())
        FUnordered = true;
    Clip->FListIndex = int32_t(FClips.size());
    Clip->FNewInList = true;
    FClips.push_back(Clip);
    FUnsettled = true;
    if (FTimeline->Idle())
        Settle();
    else
        Clip->Update(); // waits for the bracket's end from now on
}

void TTimelineTrack::RemoveClip(TClipElement* Clip) {
    int32_t Index = Clip->FListIndex;
    if (Index < 0 || size_t(Index) >= FClips.size() || FClips[size_t(Index)] != Clip)
        return;
    Clip->FListIndex = -1;
    Clip->FNewInList = false;
    if (size_t(Index) + 1 == FClips.size())
        FClips.pop_back();
    else {
        FClips[size_t(Index)] = nullptr;
        FUnordered = true;
    }
    Clip->RemoveFromGraph();
    FUnsettled = true;
    if (FTimeline->Idle())
        Settle();
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
    FChangePending = true;
    if (FTimeline->Deferring())
        FTimeline->Rebuild(); // noted; applied with the timeline's rebuild
    else
        ApplyChanges();
}

void TTimelineTrack::ApplyChanges() {
    if (!FChangePending)
        return;
    UpdateKeyTransition();
    UpdateVolumeEffect(false);
    FChangePending = false;
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
