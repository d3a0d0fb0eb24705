#pragma once

#include "core/object.h"
#include "core/video_time.h"
#include "render/player_object.h"
#include "render/timeline_track.h"
#include "render/video_format.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

class TMediaComposition;
class TMediaGroup;
class TMediaSource;
class TMediaTimeline;
class TMediaTrack;
class TMediaTransition;
class TPreviewGraph;
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
// The brackets count as the project's notifier does: up from 0, and the
// work deferred meanwhile runs when the count is back at 0. An element
// whose rebuild fails (its media file was deleted, damaged or made
// unreadable while the project is open) does not stop the others: it is
// taken off the engine's timeline, marked unavailable, and the failure goes
// to the application's exception report once the outermost bracket has
// closed. The edit that caused the rebuild stands. The element is tried
// again whenever it changes, and by RetryUnavailable.
//
// The timeline is also a player object: made visible, it builds a preview
// of itself on the engine. The engine's threads never read the timeline
// while it is edited: they are let go when the outermost bracket opens and
// started again, at the same position and play state, once it has closed
// and everything has been rebuilt.
class TTimeline : public TPlayerObject {
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
    // Raises the unbalanced-update error when no bracket is open. Closing
    // the outermost bracket rebuilds what changed inside it.
    void EndUpdate();
    // Closes a bracket as EndUpdate does, but raises the first failure of
    // the elements built (reporting any others) instead of only reporting
    // them: for work that must not stand when the engine cannot build it,
    // such as a project being opened.
    void Commit();
    int32_t UpdateCount() const { return FUpdateCount; }
    bool Idle() const { return FUpdateCount == 0; }
    // True while changes are gathered to be applied at once: inside a
    // bracket, or while the closing bracket builds what it gathered.
    bool Deferring() const { return FUpdateCount > 0 || FFlushing; }
    bool Flushing() const { return FFlushing; }

    // The end of the last clip of any track, on the video frame grid.
    TVideoTime GetDuration() const override;
    bool HasVideoClips() const;
    bool HasAudibleClips() const;
    // The largest video and audio formats of the media on the timeline;
    // still pictures count only where no moving video is, and then at most
    // Full HD.
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
    // How often the timeline-wide objects were rebuilt and elements built.
    int32_t RebuildCount() const { return FRebuildCount; }
    int32_t ElementBuildCount() const { return FElementBuilds; }
    // Builds Element's engine objects now. A failure leaves the element
    // unavailable and is reported (at once when no bracket is open,
    // otherwise when the outermost one closes); it never propagates.
    void BuildElement(TTimelineElement& Element);
    // Builds again every element of the timeline that is unavailable, for
    // when its media may be back; returns how many of them are available
    // now.
    int32_t RetryUnavailable();

    // The player object: every operation goes to the preview and does
    // nothing while there is none.
    TPlayState GetState() const override;
    TVideoTime GetPosition() const override;
    void Seek(TVideoTime Time) override;
    bool IsVideoVisible() const override { return FPreview != nullptr; }
    void SetVideoVisible(bool Visible) override;
    bool GetVideoSize(int32_t& Width, int32_t& Height) const override;
    double FramesPerSecond() const override { return FVideoFormat.FramesPerSecond; }
    void PlayTo(TVideoTime Stop) override;
    void Pause() override;
    void Stop() override;
    void Poll() override;
    TPreviewGraph* Preview() const { return FPreview.get(); }

    // The zoom-and-pan callback handle given to picture sources (0: none).
    uint64_t ZoomPanHandle() const { return FZoomPanHandle; }
    void SetZoomPanHandle(uint64_t Handle) { FZoomPanHandle = Handle; }

protected:
    void FrameSizeChanged() override;

private:
    void Build();
    bool CloseBracket();
    void Flush();
    void ReportFailures();
    void PlaceTrackCompositions(TTimelineTrack* Track, int32_t Position);
    void CopyTrack(TTimelineTrack& From, TTimelineTrack& To);
    void ReleaseTimelineObjects();
    // Holds the preview's engine threads off the timeline while the engine
    // objects change; counted, so brackets and single builds nest.
    void HoldPreview();
    void ReleasePreview();
    class TPreviewHold;

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
    int32_t FUpdateCount = 0;
    bool FFlushing = false;
    bool FRebuildPending = false;
    int32_t FRebuildCount = 0;
    int32_t FElementBuilds = 0;
    uint64_t FZoomPanHandle = 0;
    int32_t FPreviewHolds = 0;
    std::unique_ptr<TPreviewGraph> FPreview;
    std::vector<std::unique_ptr<TTimelineTrack>> FTracks;
    // Taken from FPendingHead on as they are built; an element taken off
    // before leaves an empty slot, so taking off costs nothing.
    std::vector<TTimelineElement*> FPendingElements;
    size_t FPendingHead = 0;
    // Rebuilds that failed inside a bracket, reported when it closes.
    std::vector<std::exception_ptr> FFailures;
    // A render copy owns the clones of the source's elements; effects and
    // transitions go before the clips they refer to.
    std::vector<std::unique_ptr<TClipElement>> FOwnedClips;
    std::vector<std::unique_ptr<TBaseTransitionElement>> FOwnedTransitions;
    std::vector<std::unique_ptr<TEffectElement>> FOwnedEffects;
};

// BeginUpdate on construction, EndUpdate on destruction, so the bracket
// closes on every path. Like the notifier's guard it never throws: elements
// that fail to rebuild are reported by the timeline itself, and anything
// else that goes wrong while the bracket closes goes to the exception
// report.
class TTimelineUpdateGuard {
public:
    explicit TTimelineUpdateGuard(TTimeline& Timeline);
    ~TTimelineUpdateGuard();
    TTimelineUpdateGuard(const TTimelineUpdateGuard&) = delete;
    TTimelineUpdateGuard& operator=(const TTimelineUpdateGuard&) = delete;

private:
    TTimeline& FTimeline;
};
