#pragma once

#include "core/geometry.h"
#include "core/object.h"
#include "core/video_time.h"

#include <cstdint>
#include <vector>

class TBaseTransitionElement;
class TClipElement;
class TEffectElement;
class TMediaComposition;
class TMediaEffect;
class TMediaTrack;
class TMediaTransition;
class TTimeline;

// The layout of a render track: which media it carries and whether clips
// alternate between two sub-tracks so that transitions can join them.
enum class TTimelineTrackKind : uint8_t {
    ABVideoAudio = 0,
    ABAudio = 1,
    ABVideo = 2,
    VideoAudio = 3,
    Audio = 4,
    Video = 5,
    Effects = 6,
};

// One track of the render timeline; every project track owns one. It has a
// composition in the video group and one in the audio group (as its kind
// says), each with one sub-track, or two for an A/B track; its clips sit on
// them in start order, alternating between the two on an A/B track.
class TTimelineTrack : public TObject {
public:
    TTimelineTrack(TTimeline* Timeline, TTimelineTrackKind Kind);
    ~TTimelineTrack() override;
    TTimelineTrack(const TTimelineTrack&) = delete;
    TTimelineTrack& operator=(const TTimelineTrack&) = delete;

    std::string_view ClassName() const override { return "TTimelineTrack"; }

    TTimeline* Timeline() const { return FTimeline; }
    TTimelineTrackKind Kind() const { return FKind; }
    bool HasVideo() const { return FHasVideo; }
    bool HasAudio() const { return FHasAudio; }
    bool ABTrack() const { return FABTrack; }

    // Clips in start order; positions count from 1.
    int32_t ClipCount() const;
    TClipElement* Clip(int32_t Position) const;
    int32_t PositionOf(const TClipElement* Clip) const;
    bool IsEmpty() const { return ClipCount() == 0; }
    // The end of the last clip, 0 when empty.
    TVideoTime GetDuration() const;

    double Volume() const { return FVolume; }
    void SetVolume(double Value);
    bool Muted() const { return FMuted; }
    void SetMuted(bool Value);
    TColor BackgroundColor() const { return FBackgroundColor; }
    bool HasBackground() const { return FHasBackground; }
    void SetBackgroundColor(TColor Value);

    // The engine objects of the track (none where the kind has no such media).
    TMediaComposition* VideoComposition() const { return FVideoComposition; }
    TMediaComposition* AudioComposition() const { return FAudioComposition; }
    TMediaTrack* VideoSubTrack(int32_t Index) const;
    TMediaTrack* AudioSubTrack(int32_t Index) const;

    // Called by clip elements as they are placed and removed. Inside an
    // update bracket they only note the change: the list is put in order
    // once, and the clips whose sub-track changed are rebuilt, when the
    // timeline settles its tracks at the end of the outermost bracket. So
    // an edit that moves every clip of a long track costs what sorting the
    // list does, not a search and a shift of the list per clip.
    void InsertClip(TClipElement* Clip);
    void RemoveClip(TClipElement* Clip);
    // Orders the list and rebuilds what the new order changes (called by
    // the timeline as its outermost bracket closes, and at once outside
    // brackets).
    void Settle();
    // Called by transition elements as they are placed and removed.
    void AddTransition(TBaseTransitionElement* Transition);
    void RemoveTransition(TBaseTransitionElement* Transition);
    int32_t TransitionCount() const { return static_cast<int32_t>(FTransitions.size()); }
    // The track's effects in their order; kept by the effects themselves.
    std::vector<TEffectElement*>& Effects() { return FEffects; }
    // After any change of the track: the key transition over the track's
    // length is renewed, the track volume follows the length, and the
    // timeline rebuilds. Inside an update bracket this only notes the
    // change, and the timeline applies it once as the bracket closes: the
    // track's length is a walk over all its clips, so renewing it for each
    // clip rebuilt would make loading a long track quadratic.
    void Changed();
    // Renews what a change noted inside a bracket asks for.
    void ApplyChanges();
    // Engine objects made by the timeline when it places the track.
    void SetCompositions(TMediaComposition* Video, TMediaComposition* Audio);

private:
    void UpdateVolumeEffect(bool Force);
    void UpdateKeyTransition();
    void SortClips() const;

    TTimeline* FTimeline;
    TTimelineTrackKind FKind;
    bool FHasVideo;
    bool FHasAudio;
    bool FABTrack;
    // Owned by the project's items. Between a change inside a bracket and
    // the next settle the list may be out of order and hold gaps (null) where
    // clips left; readers order it first.
    mutable std::vector<TClipElement*> FClips;
    mutable bool FUnordered = false;
    bool FUnsettled = false;
    bool FChangePending = false;
    std::vector<TBaseTransitionElement*> FTransitions;
    std::vector<TEffectElement*> FEffects;
    TMediaComposition* FVideoComposition = nullptr;
    TMediaComposition* FAudioComposition = nullptr;
    TMediaTrack* FVideoSubTracks[2] = {nullptr, nullptr};
    TMediaTrack* FAudioSubTracks[2] = {nullptr, nullptr};
    double FVolume = 1.0;
    bool FMuted;
    TVideoTime FVolumeLength = -1;
    TMediaEffect* FVolumeEffect = nullptr;
    TMediaTransition* FKeyTransition = nullptr;
    TColor FBackgroundColor = 0;
    bool FHasBackground = false;
};
