#include "project/drop_placement.h"

#include "project/clip.h"
#include "project/drag_things.h"
#include "project/effect.h"
#include "project/sub_track.h"
#include "project/title_clip.h"
#include "project/transition.h"
#include "render/description_registry.h"
#include "render/descriptions.h"
#include "render/effect_description.h"
#include "render/transition_description.h"

#include <algorithm>

namespace {

constexpr TVideoTime NoLimit = UnlimitedVideoTime;

bool ClipTakes(TTrackKind Track, TSubTrackKind Row, const TDraggedItem& Clip) {
    const bool AudioRow = Row == TSubTrackKind::Audio, VideoRow = Row == TSubTrackKind::Video;
    const bool Audio = Clip.HasAudio, Video = Clip.HasVideo;
    const bool Title = Clip.Kind == TDraggedKind::TitleClip;
    switch (Track) {
    case TTrackKind::Any:
        return (AudioRow && Audio) || (VideoRow && Video);
    case TTrackKind::Video:
        return Title ? (AudioRow && Audio) || (VideoRow && Video)
                     : Video && (VideoRow || (AudioRow && Audio));
    case TTrackKind::Sound:
    case TTrackKind::Music:
        return !Title && AudioRow && Audio;
    case TTrackKind::Overlay:
        return Title ? VideoRow : (AudioRow && Audio) || (VideoRow && Video);
    case TTrackKind::Effects:
        return false;
    }
    return false;
}

bool TransitionTakes(TTrackKind Track, TSubTrackKind Row, const TDraggedItem& Transition) {
    const bool AudioRow = Row == TSubTrackKind::Audio, VideoRow = Row == TSubTrackKind::Video;
    switch (Track) {
    case TTrackKind::Any:
    case TTrackKind::Video:
        return (VideoRow && Transition.HasVideo) || (AudioRow && Transition.HasAudio);
    case TTrackKind::Sound:
    case TTrackKind::Music:
        return AudioRow && Transition.HasAudio;
    case TTrackKind::Overlay:
        return VideoRow && Transition.HasVideo && Transition.OnOverlays;
    case TTrackKind::Effects:
        return false;
    }
    return false;
}

bool EffectTakes(TTrackKind Track, const TDraggedItem& Effect) {
    switch (Track) {
    case TTrackKind::Any:
    case TTrackKind::Effects:
        return true;
    case TTrackKind::Video:
        return Effect.HasAudio || Effect.HasVideo;
    case TTrackKind::Sound:
    case TTrackKind::Music:
        return Effect.HasAudio;
    case TTrackKind::Overlay:
        return Effect.HasVideo;
    }
    return false;
}

// An effect suits a clip when it acts on a medium the clip has.
bool EffectSuits(const TDraggedItem& Effect, const TClip& Clip) {
    return (Effect.HasAudio && Clip.HasAudio()) || (Effect.HasVideo && Clip.HasVideo());
}

// The neighbourhood of a time on a track: the item before the gap that holds
// it and the item after, their end and start (0 and no limit without them).
struct TGap {
    int32_t Index = 0;
    const TTrackItem* Prev = nullptr;
    const TTrackItem* Next = nullptr;
    const TClip* PrevClip = nullptr;
    const TClip* NextClip = nullptr;
    TVideoTime PrevEnd = 0;
    TVideoTime NextStart = NoLimit;
    bool PrevIsTransition() const { return dynamic_cast<const TTransition*>(Prev) != nullptr; }
    bool NextIsTransition() const { return dynamic_cast<const TTransition*>(Next) != nullptr; }
};

TGap GapAt(const TTrack& Track, TVideoTime Time) {
    TGap Gap;
    Gap.Index = Track.IndexAtTime(Time);
    Gap.Prev = Gap.Index > 0 ? Track.Item(Gap.Index - 1) : nullptr;
    Gap.Next = Gap.Index < Track.ItemCount() ? Track.Item(Gap.Index) : nullptr;
    Gap.PrevClip = dynamic_cast<const TClip*>(Gap.Prev);
    Gap.NextClip = dynamic_cast<const TClip*>(Gap.Next);
    Gap.PrevEnd = Gap.Prev ? Gap.Prev->End() : 0;
    Gap.NextStart = Gap.Next ? Gap.Next->Position() : NoLimit;
    return Gap;
}

// A span of Duration starting at Start that would run past the next item
// ends at its start instead, or, when the mouse is past that start and most
// of the span too, starts there.
TVideoTime FitBefore(const TGap& Gap, TVideoTime Start, TVideoTime Duration, TVideoTime Time) {
    if (Gap.NextStart == NoLimit || Start + Duration <= Gap.NextStart)
        return Start;
    return Start + Duration / 2 < Gap.NextStart || Time < Gap.NextStart ? Gap.NextStart - Duration
                                                                        : Gap.NextStart;
}

// Over an item: into a transition, replacing one, or onto a clip.
std::optional<TDropPlacement> PlaceOverItem(const TTrack& Track, const TDraggedItem& Dragged,
                                            TVideoTime Time) {
    for (int32_t I = 0; I < Track.ItemCount(); ++I) {
        const TTrackItem& Item = *Track.Item(I);
        const TVideoTime Start = Item.Position(), End = Item.End(), Length = Item.Duration();
        const bool IsTransition = dynamic_cast<const TTransition*>(&Item) != nullptr;
        const bool InMiddleHalf = Time >= Start + Length / 4 && Time < End - Length / 4;
        if (Dragged.IsClip() && IsTransition && Time >= Start + Length / 6 &&
            Time < End - Length / 6)
            return TDropPlacement{TDropKind::IntoTransition, I, Start, Length};
        switch (Dragged.Kind) {
        case TDraggedKind::Transition:
            if (IsTransition && Time >= Start && Time < End)
                return TDropPlacement{TDropKind::Replace, I, Start, Length};
            break;
        case TDraggedKind::TitleClip:
            if (dynamic_cast<const TTitleClip*>(&Item) && InMiddleHalf)
                return TDropPlacement{TDropKind::Replace, I, Start, Length};
            break;
        case TDraggedKind::Effect:
            if (dynamic_cast<const TEffect*>(&Item) && InMiddleHalf)
                return TDropPlacement{TDropKind::Replace, I, Start, Length};
            if (Track.Kind() != TTrackKind::Effects && Time >= Start && Time < End)
                if (const auto* Clip = dynamic_cast<const TClip*>(&Item);
                    Clip && EffectSuits(Dragged, *Clip))
                    return TDropPlacement{TDropKind::ClipEffect, I, Start, Length};
            break;
        case TDraggedKind::FileClip:
            break;
        }
    }
    return std::nullopt;
}

TDropPlacement PlaceClip(const TGap& Gap, const TDraggedItem& Dragged, TVideoTime Time,
                         const TSpanSnap& Snap) {
    const TVideoTime Duration = Dragged.Duration;
    TDropPlacement Place{TDropKind::Insert, Gap.Index, Time - Duration / 2, Duration};
    // A clip beside a transition that has lost its other clip joins it.
    if (Gap.PrevClip && Gap.PrevClip->TrailingTransition()) {
        Place.Start = Gap.PrevClip->TrailingTransition()->Position();
        Place.KeepTrailing = true;
        return Place;
    }
    if (Gap.NextClip && Gap.NextClip->LeadingTransition()) {
        Place.Start = Gap.NextClip->Position() + Gap.NextClip->LeadingTransition()->Duration();
        Place.KeepLeading = true;
        return Place;
    }
    Place.Start = FitBefore(Gap, Place.Start, Duration, Time);
    if (Gap.NextStart == NoLimit || Gap.PrevEnd + Duration < Gap.NextStart) {
        Place.KeepLeading = Gap.PrevIsTransition() && Gap.PrevEnd >= Place.Start;
        Place.KeepTrailing = Gap.NextIsTransition() && Place.Start + Duration >= Gap.NextStart;
    } else {
        Place.KeepLeading = Gap.PrevIsTransition();
        Place.KeepTrailing = Gap.NextIsTransition();
    }
    if (Place.KeepLeading && Place.KeepTrailing) {
        Place.Start = Gap.PrevEnd;
        return Place;
    }
    if (Snap)
        Place.Start += Snap(Place.Start, Place.Start + Duration);
    Place.Start = std::clamp(Place.Start, Gap.PrevEnd, std::max(Gap.PrevEnd, Gap.NextStart));
    return Place;
}

// The transition a new one would replace at the gap: the one before it
// (itself, or the trailing one of the clip before) when the new one would
// join the previous item, else the one after.
std::optional<TDropPlacement> TransitionToReplace(const TGap& Gap, bool JoinsPrevious,
                                                  bool JoinsNext) {
    auto Replace = [](int32_t Index, const TTrackItem& Existing, TVideoTime Start) {
        return TDropPlacement{TDropKind::Replace, Index, Start, Existing.Duration()};
    };
    if (JoinsPrevious) {
        if (const auto* Existing = dynamic_cast<const TTransition*>(Gap.Prev))
            return Replace(Gap.Index - 1, *Existing,
                           Existing->Position() + Existing->Duration() / 2);
        if (Gap.PrevClip && Gap.PrevClip->TrailingTransition())
            return Replace(Gap.Index, *Gap.PrevClip->TrailingTransition(),
                           Gap.PrevClip->TrailingTransition()->Position());
    }
    if (JoinsNext) {
        if (const auto* Existing = dynamic_cast<const TTransition*>(Gap.Next))
            return Replace(Gap.Index, *Existing, Existing->Position() + Existing->Duration() / 2);
        if (Gap.NextClip && Gap.NextClip->LeadingTransition())
            return Replace(Gap.Index - 1, *Gap.NextClip->LeadingTransition(),
                           Gap.NextClip->LeadingTransition()->Position());
    }
    return std::nullopt;
}

TDropPlacement PlaceTransition(const TGap& Gap, const TDraggedItem& Dragged, TVideoTime Time) {
    TVideoTime Duration = Dragged.Duration;
    TVideoTime Start = Time - Duration / 2;
    bool JoinsPrevious = false, JoinsNext = false;
    if (Gap.PrevEnd == Gap.NextStart && Gap.PrevClip && Gap.NextClip) {
        JoinsPrevious = JoinsNext = true;
    } else {
        JoinsPrevious = Gap.Prev && Gap.PrevEnd >= Start;
        JoinsNext = Gap.Next && Start + Duration >= Gap.NextStart;
    }
    if (auto Replaced = TransitionToReplace(Gap, JoinsPrevious, JoinsNext))
        return *Replaced;
    if (!JoinsPrevious && !JoinsNext)
        return {};
    if (JoinsPrevious && JoinsNext) {
        Start = Gap.PrevEnd;
    } else {
        if (Gap.NextStart != NoLimit && Start + Duration > Gap.NextStart)
            Start = Gap.NextStart;
        Start = std::max(Start, Gap.PrevEnd);
    }
    // The length the neighbours' other transitions suggest.
    TVideoTime Sum = 0;
    int32_t Count = 0;
    if (Gap.PrevClip && Gap.PrevClip->LeadingTransition()) {
        Sum += Gap.PrevClip->LeadingTransition()->Duration();
        ++Count;
    }
    if (Gap.NextClip && Gap.NextClip->TrailingTransition()) {
        Sum += Gap.NextClip->TrailingTransition()->Duration();
        ++Count;
    }
    if (Count > 0)
        Duration = Sum / Count;
    return {TDropKind::Insert, Gap.Index, Start, Duration, JoinsPrevious, JoinsNext};
}

TDropPlacement PlaceEffect(const TGap& Gap, const TDraggedItem& Dragged, TVideoTime Time,
                           const TSpanSnap& Snap) {
    const TVideoTime Duration = Dragged.Duration;
    TVideoTime Start = Time - Duration / 2;
    if (Snap)
        Start += Snap(Start, Start + Duration);
    Start = std::max(FitBefore(Gap, Start, Duration, Time), Gap.PrevEnd);
    return {TDropKind::Insert, Gap.Index, Start, Duration};
}

} // namespace

TDraggedItem TDraggedItem::Of(const TVideoDragThing& Thing) {
    TDraggedItem Dragged;
    Dragged.Duration = Thing.Duration();
    if (const auto* Clip = dynamic_cast<const TClipDragThing*>(&Thing)) {
        Dragged.Kind = dynamic_cast<const TTitleClipDragThing*>(&Thing) ? TDraggedKind::TitleClip
                                                                        : TDraggedKind::FileClip;
        Dragged.HasAudio = Clip->HasAudio();
        Dragged.HasVideo = Clip->HasVideo();
    } else if (const auto* Transition = dynamic_cast<const TTransitionDragThing*>(&Thing)) {
        Dragged.Kind = TDraggedKind::Transition;
        Dragged.DescriptionIndex = Transition->TransitionIndex();
        if (const TTransitionDescription* Description =
                DescriptionRegistry().Transitions().TransitionByIndex(
                    Transition->TransitionIndex())) {
            Dragged.HasAudio = Description->IsAudioTransition();
            Dragged.HasVideo = Description->IsVideoTransition();
            Dragged.OnOverlays = Description->IsOverlayTransition();
        }
    } else if (const auto* Effect = dynamic_cast<const TEffectDragThing*>(&Thing)) {
        Dragged.Kind = TDraggedKind::Effect;
        Dragged.DescriptionIndex = Effect->EffectIndex();
        if (const TEffectDescription* Description =
                DescriptionRegistry().Effects().EffectByIndex(Effect->EffectIndex())) {
            Dragged.HasAudio = Description->IsAudioEffect();
            Dragged.HasVideo = Description->IsVideoEffect();
        }
    }
    return Dragged;
}

TKeepTransitions TDropPlacement::Keep() const {
    return TKeepTransitions(
        uint8_t(KeepLeading ? TKeepTransitions::Leading : TKeepTransitions::Neither) |
        uint8_t(KeepTrailing ? TKeepTransitions::Trailing : TKeepTransitions::Neither));
}

TJoinClips TDropPlacement::Join() const {
    return TJoinClips(uint8_t(KeepLeading ? TJoinClips::Previous : TJoinClips::Neither) |
                      uint8_t(KeepTrailing ? TJoinClips::Next : TJoinClips::Neither));
}

bool RowTakesDrop(TTrackKind Track, TSubTrackKind Row, bool HoldsItems,
                  const TDraggedItem& Dragged) {
    switch (Dragged.Kind) {
    case TDraggedKind::FileClip:
    case TDraggedKind::TitleClip:
        return ClipTakes(Track, Row, Dragged);
    case TDraggedKind::Transition:
        return HoldsItems && TransitionTakes(Track, Row, Dragged);
    case TDraggedKind::Effect:
        return (HoldsItems || Track == TTrackKind::Effects) && EffectTakes(Track, Dragged);
    }
    return false;
}

bool AcceptsDrop(const TSubTrack& Row, const TDraggedItem& Dragged) {
    const TTrack* Owner = Row.Track();
    return Owner && RowTakesDrop(Owner->Kind(), Row.Kind(), Owner->ItemCount() > 0, Dragged);
}

TDropPlacement PlaceDrop(const TTrack& Track, const TDraggedItem& Dragged, TVideoTime Time,
                         const TSpanSnap& Snap) {
    if (auto Over = PlaceOverItem(Track, Dragged, Time))
        return *Over;
    // Off the effects track an effect only goes onto a clip.
    if (Dragged.Kind == TDraggedKind::Effect && Track.Kind() != TTrackKind::Effects)
        return {};
    const TGap Gap = GapAt(Track, Time);
    switch (Dragged.Kind) {
    case TDraggedKind::FileClip:
    case TDraggedKind::TitleClip:
        return PlaceClip(Gap, Dragged, Time, Snap);
    case TDraggedKind::Transition:
        return PlaceTransition(Gap, Dragged, Time);
    case TDraggedKind::Effect:
        return PlaceEffect(Gap, Dragged, Time, Snap);
    }
    return {};
}

std::optional<int32_t> TransitionMiddleAt(const TTrack& Track, TVideoTime Time) {
    for (int32_t I = 0; I < Track.ItemCount(); ++I) {
        const TTrackItem& Item = *Track.Item(I);
        const TVideoTime Length = Item.Duration();
        if (dynamic_cast<const TTransition*>(&Item) && Time >= Item.Position() + Length / 6 &&
            Time < Item.End() - Length / 6)
            return I;
    }
    return std::nullopt;
}

bool TrackTakesFile(TTrackKind Kind, bool HasAudio, bool HasVideo) {
    switch (Kind) {
    case TTrackKind::Video:
    case TTrackKind::Overlay:
        return HasVideo;
    case TTrackKind::Sound:
    case TTrackKind::Music:
        return HasAudio;
    case TTrackKind::Any:
    case TTrackKind::Effects:
        return false;
    }
    return false;
}

TFilePlacement PlaceDroppedFile(const TTrack& Track, TVideoTime Time) {
    const TGap Gap = GapAt(Track, Time);
    if (Gap.PrevClip && Gap.PrevClip->TrailingTransition())
        return {TKeepTransitions::Trailing, Gap.PrevClip->TrailingTransition()->Position()};
    if (Gap.NextClip && Gap.NextClip->LeadingTransition())
        return {TKeepTransitions::Leading,
                Gap.NextClip->Position() + Gap.NextClip->LeadingTransition()->Duration()};
    const TDropPlacement Flags{.KeepLeading = Gap.PrevIsTransition() && Gap.PrevEnd >= Time,
                               .KeepTrailing = Gap.NextIsTransition() && Time >= Gap.NextStart};
    if (Flags.KeepLeading && Flags.KeepTrailing)
        return {Flags.Keep(), Gap.PrevEnd};
    return {Flags.Keep(), std::clamp(Time, Gap.PrevEnd, std::max(Gap.PrevEnd, Gap.NextStart))};
}
