#pragma once

#include "core/object.h"
#include "core/video_time.h"
#include "render/timeline_track.h"
#include "render/video_format.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class TMediaComposition;
class TMediaGroup;
class TMediaSource;
class TMediaTimeline;
class TMediaTrack;
class TMediaTransition;
class TBaseTransitionElement;
class TClipElement;
class TEffectElement;
class TTimelineElement;

// The render timeline: the project translated into the media engine's
// timeline of groups, compositions, tracks and sources. Every project track
// owns one TTimelineTrack here; every clip one element. Elements keep their
// engine objects in step by themselves; edits run between BeginUpdate and
// EndUpdate, and each element changed inside the bracket is rebuilt once,
// when the outermost bracket ends.
//
// The update counter is 1 when idle: BeginUpdate lowers it, EndUpdate
// raises it, and the work deferred meanwhile runs when it is 1 again.
class TTimeline : public TObject {
public:
    // The project's own timeline: 320 x 240 at 16 frames per second, the
    // default audio format, and one A/B video-and-audio track (which the
    // project deletes at once).
    TTimeline();
    // A render copy of Source with the output formats fixed: the same tracks,
    // every element cloned.
    TTimeline(const TTimeline& Source, const TVideoFormat& Video, const TAudioFormat& Audio);
    ~TTimeline() override;
    TTimeline(const TTimeline&) = delete;
    TTimeline& operator=(const TTimeline&) = delete;

    std::string_view ClassName() const override { return "TTimeline"; }

    // The engine's timeline this one builds, for players and renderers.
    const TMediaTimeline& Platform() const { return *FPlatform; }
    TMediaGroup* VideoGroup() const { return FVideoGroup; }
    TMediaGroup* AudioGroup() const { return FAudioGroup; }
    TMediaComposition* TracksComposition() const { return FTracksComposition; }
    TMediaComposition* AudioComposition() const;

    const TVideoFormat& VideoFormat() const { return FVideoFormat; }
    const TAudioFormat& AudioFormat() const { return FAudioFormat; }
    int32_t OutputWidth() const { return FVideoFormat.Width; }
    int32_t OutputHeight() const { return FVideoFormat.Height; }
    double FramesPerSecond() const { return FVideoFormat.FramesPerSecond; }
    TVideoTime FrameDuration() const;
    // 0 for the project's own timeline, 1 for a render copy.
    uint8_t RenderMode() const { return FRenderMode; }

    // Inserts a track of Kind at Position (0 or beyond the end appends) and
    // returns its position; positions count from 1.
    int32_t AddTrack(TTimelineTrackKind Kind, int32_t Position);
    int32_t TrackCount() const { return static_cast<int32_t>(FTracks.size()); }
    TTimelineTrack* Track(int32_t Position) const;
    int32_t PositionOf(const TTimelineTrack* Track) const;
    void DeleteTrack(int32_t Position);

    void BeginUpdate();
    // Raises the unbalanced-update error when no bracket is open.
    void EndUpdate();
    int32_t UpdateCounter() const { return FUpdateCounter; }
    bool Idle() const { return FUpdateCounter > 0; }
    bool Flushing() const { return FFlushing; }

    // The end of the last clip of any track, on the video frame grid.
    TVideoTime GetDuration() const;
    bool HasVideoClips() const;
    bool HasAudibleClips() const;
    // The largest video and audio formats of the media on the timeline.
    void OptimalFormat(TVideoFormat& Video, TAudioFormat& Audio) const;

    // Rounds a time to the frame grid of the video group, or of the audio
    // group (100 blocks per second).
    TVideoTime RoundToVideoFrame(TVideoTime Time) const;
    static TVideoTime RoundToAudioFrame(TVideoTime Time);

    // Queues an element for rebuilding at the end of the outermost bracket.
    void AddPending(TTimelineElement* Element);
    void RemovePending(TTimelineElement* Element);
    // Rebuilds the timeline-wide objects (background, key transition);
    // deferred while a bracket is open.
    void Rebuild();
    void RequestRebuild() { Rebuild(); }
    // How often the timeline-wide objects were rebuilt and elements built.
    int32_t RebuildCount() const { return FRebuildCount; }
    int32_t ElementBuildCount() const { return FElementBuilds; }
    void CountElementBuild() { ++FElementBuilds; }

    // The zoom-and-pan callback handle given to picture sources (0: none).
    uint64_t ZoomPanHandle() const { return FZoomPanHandle; }
    void SetZoomPanHandle(uint64_t Handle) { FZoomPanHandle = Handle; }

private:
    void Build();
    void Flush();
    void PlaceTrackCompositions(TTimelineTrack* Track, int32_t Position);
    void CopyTrack(TTimelineTrack& From, TTimelineTrack& To);
    void ReleaseTimelineObjects();

    std::unique_ptr<TMediaTimeline> FPlatform;
    TMediaGroup* FVideoGroup = nullptr;
    TMediaGroup* FAudioGroup = nullptr;
    TMediaTrack* FBackgroundTrack = nullptr;
    TMediaComposition* FTracksComposition = nullptr;
    TMediaTrack* FBottomTrack = nullptr;
    TMediaSource* FBackgroundSource = nullptr;
    TMediaSource* FBlackSource = nullptr;
    TMediaTransition* FKeyTransition = nullptr;

    TVideoFormat FVideoFormat;
    TAudioFormat FAudioFormat;
    uint8_t FRenderMode = 0;
    int32_t FUpdateCounter = 0;
    bool FFlushing = false;
    bool FRebuildPending = false;
    int32_t FRebuildCount = 0;
    int32_t FElementBuilds = 0;
    uint64_t FZoomPanHandle = 0;
    std::vector<std::unique_ptr<TTimelineTrack>> FTracks;
    std::deque<TTimelineElement*> FPendingElements; // taken from the front as they are built
    // A render copy owns the clones of the source's elements; effects and
    // transitions go before the clips they refer to.
    std::vector<std::unique_ptr<TClipElement>> FOwnedClips;
    std::vector<std::unique_ptr<TBaseTransitionElement>> FOwnedTransitions;
    std::vector<std::unique_ptr<TEffectElement>> FOwnedEffects;
};

// BeginUpdate on construction, EndUpdate on destruction. A failure of the
// deferred rebuild propagates, unless another exception is already on its
// way, which then wins and the rebuild's failure is reported.
class TTimelineUpdateGuard {
public:
    explicit TTimelineUpdateGuard(TTimeline& Timeline);
    ~TTimelineUpdateGuard() noexcept(false);
    TTimelineUpdateGuard(const TTimelineUpdateGuard&) = delete;
    TTimelineUpdateGuard& operator=(const TTimelineUpdateGuard&) = delete;

private:
    TTimeline& FTimeline;
    int FUncaught;
};
