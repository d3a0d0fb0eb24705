#pragma once

#include "core/object.h"
#include "render/timeline_track.h"

#include <cstdint>
#include <memory>
#include <vector>

// The render timeline that mirrors the project for preview and rendering.
// It owns its tracks (positions count from 1) and rebuilds once when the
// outermost update bracket closes after a change.
class TTimeline : public TObject {
public:
    // The project's timeline starts with one A/B video-and-audio track, which
    // the project deletes at once.
    TTimeline();
    ~TTimeline() override;
    TTimeline(const TTimeline&) = delete;
    TTimeline& operator=(const TTimeline&) = delete;

    std::string_view ClassName() const override { return "TTimeline"; }

    // Inserts a track at Position (0 or beyond the end appends) and returns
    // its position.
    int32_t AddTrack(TTimelineTrackKind Kind, int32_t Position);
    int32_t TrackCount() const { return static_cast<int32_t>(FTracks.size()); }
    TTimelineTrack* Track(int32_t Position) const;
    int32_t PositionOf(const TTimelineTrack* Track) const;
    void DeleteTrack(int32_t Position);

    void BeginUpdate();
    void EndUpdate();
    int32_t UpdateCounter() const { return FUpdateCounter; }

    double FramesPerSecond() const { return FFramesPerSecond; }

    // Marks the timeline for a rebuild: at once outside a bracket, otherwise
    // when the outermost bracket closes.
    void RequestRebuild();
    int32_t RebuildCount() const { return FRebuildCount; }

private:
    void Rebuild();

    std::vector<std::unique_ptr<TTimelineTrack>> FTracks;
    int32_t FUpdateCounter = 0;
    bool FRebuildPending = false;
    int32_t FRebuildCount = 0;
    double FFramesPerSecond = 16.0;
};

// BeginUpdate on construction, EndUpdate on destruction.
class TTimelineUpdateGuard {
public:
    explicit TTimelineUpdateGuard(TTimeline& Timeline) : FTimeline(Timeline) {
        FTimeline.BeginUpdate();
    }
    ~TTimelineUpdateGuard() { FTimeline.EndUpdate(); }
    TTimelineUpdateGuard(const TTimelineUpdateGuard&) = delete;
    TTimelineUpdateGuard& operator=(const TTimelineUpdateGuard&) = delete;

private:
    TTimeline& FTimeline;
};
