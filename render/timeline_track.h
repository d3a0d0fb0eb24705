#pragma once

#include "core/geometry.h"
#include "core/object.h"

#include <cstdint>

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

// One track of the render timeline; every project track owns one. It keeps
// the values the project's track settings push to it (volume, mute,
// background colour).
class TTimelineTrack : public TObject {
public:
    TTimelineTrack(TTimeline* Timeline, TTimelineTrackKind Kind);
    std::string_view ClassName() const override { return "TTimelineTrack"; }

    TTimeline* Timeline() const { return FTimeline; }
    TTimelineTrackKind Kind() const { return FKind; }
    bool HasVideo() const { return FHasVideo; }
    bool HasAudio() const { return FHasAudio; }
    bool ABTrack() const { return FABTrack; }

    double Volume() const { return FVolume; }
    void SetVolume(double Value);
    bool Muted() const { return FMuted; }
    void SetMuted(bool Value);
    TColor BackgroundColor() const { return FBackgroundColor; }
    bool HasBackground() const { return FHasBackground; }
    void SetBackgroundColor(TColor Value);

private:
    TTimeline* FTimeline;
    TTimelineTrackKind FKind;
    bool FHasVideo;
    bool FHasAudio;
    bool FABTrack;
    double FVolume = 1.0;
    bool FMuted;
    TColor FBackgroundColor = 0;
    bool FHasBackground = false;
};
